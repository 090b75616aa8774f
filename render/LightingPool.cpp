#include "render/LightingPool.h"

#include "platform/Processors.h"

LightingPool::LightingPool(int workers) : Count(workers < 1 ? 1 : workers) {
    Helpers.reserve(static_cast<std::size_t>(Count - 1));
    for (int worker = 1; worker < Count; ++worker)
        Helpers.emplace_back([this, worker] { Serve(worker); });
}

LightingPool::~LightingPool() {
    Stopping = true;
    Started.fetch_add(1, std::memory_order_release);
    veltra::platform::WakeAllWaiters(&Started);
    for (std::thread& helper : Helpers)
        helper.join();
}

int LightingPool::UsableCpus() {
    return veltra::platform::UsableProcessorCount();
}

void LightingPool::Run(Job& job) {
    Current = &job;
    Finished.store(0, std::memory_order_relaxed);
    Blocked.store(0, std::memory_order_relaxed);
    Started.fetch_add(1, std::memory_order_release);
    veltra::platform::WakeAllWaiters(&Started);
    job(0);
    for (int done = Finished.load(std::memory_order_acquire); done != Count - 1;
         done = Finished.load(std::memory_order_acquire))
        AwaitChange(Finished, done);
}

void LightingPool::Serve(int worker) {
    std::uint32_t seen = 0;
    for (;;) {
        AwaitChange(Started, seen);
        seen = Started.load(std::memory_order_acquire);
        if (Stopping)
            return;
        (*Current)(worker);
        Finished.fetch_add(1, std::memory_order_release);
        veltra::platform::WakeOneWaiter(&Finished);
    }
}

void LightingPool::Sync(int participants) {
    if (participants <= 1)
        return;
    const std::uint32_t pass = Passes.load(std::memory_order_acquire);
    if (Arrived.fetch_add(1, std::memory_order_acq_rel) == participants - 1) {
        Arrived.store(0, std::memory_order_relaxed);
        Passes.fetch_add(1, std::memory_order_release);
        veltra::platform::WakeAllWaiters(&Passes);
        return;
    }
    if (AwaitChange(Passes, pass))
        Blocked.fetch_add(1, std::memory_order_relaxed);
}
