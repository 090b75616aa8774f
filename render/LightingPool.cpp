#include "render/LightingPool.h"

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
    Await([&] { return Finished.load(std::memory_order_acquire) == Count - 1; });
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

void LightingPool::Sync(int participants) {
    if (participants <= 1)
        return;
    const std::uint32_t pass = Passes.load(std::memory_order_acquire);
    if (Arrived.fetch_add(1, std::memory_order_acq_rel) == participants - 1) {
        Arrived.store(0, std::memory_order_relaxed);
        Passes.fetch_add(1, std::memory_order_release);
        return;
    }
    Await([&] { return Passes.load(std::memory_order_acquire) != pass; });
}
