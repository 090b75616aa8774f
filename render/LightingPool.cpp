#include "render/LightingPool.h"

namespace {
// Spins this many rounds before giving the core away: a barrier inside a sweep is usually met
// within a few microseconds, but the machine may be shared.
constexpr int SpinRounds = 4000;

template <typename Done>
void SpinThenYield(Done done) {
    for (int round = 0; !done(); ++round)
        if (round >= SpinRounds)
            std::this_thread::yield();
}
} // namespace

LightingPool::LightingPool(int workers) : Count(workers < 1 ? 1 : workers) {
    Helpers.reserve(static_cast<std::size_t>(Count - 1));
    for (int worker = 1; worker < Count; ++worker)
        Helpers.emplace_back([this, worker] { Serve(worker); });
}

LightingPool::~LightingPool() {
    Stopping = true;
    Started.fetch_add(1, std::memory_order_release);
    Started.notify_all();
    for (std::thread& helper : Helpers)
        helper.join();
}

void LightingPool::Run(Job job, void* context) {
    Current = job;
    Context = context;
    Finished.store(0, std::memory_order_relaxed);
    Started.fetch_add(1, std::memory_order_release);
    Started.notify_all();
    job(context, 0);
    SpinThenYield([&] { return Finished.load(std::memory_order_acquire) == Count - 1; });
}

void LightingPool::Serve(int worker) {
    std::uint32_t seen = 0;
    for (;;) {
        Started.wait(seen, std::memory_order_acquire);
        seen = Started.load(std::memory_order_acquire);
        if (Stopping)
            return;
        Current(Context, worker);
        Finished.fetch_add(1, std::memory_order_release);
    }
}

void LightingPool::Sync() {
    if (Count == 1)
        return;
    const std::uint32_t pass = Passes.load(std::memory_order_acquire);
    if (Arrived.fetch_add(1, std::memory_order_acq_rel) == Count - 1) {
        Arrived.store(0, std::memory_order_relaxed);
        Passes.fetch_add(1, std::memory_order_release);
        return;
    }
    SpinThenYield([&] { return Passes.load(std::memory_order_acquire) != pass; });
}
