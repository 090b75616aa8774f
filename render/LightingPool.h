#pragma once

#include "platform/AddressWait.h"

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// The threads that share the lighting's work: started once, then reused for every call. The calling
// thread takes part as worker 0; the others sleep between calls. Inside a call the workers meet at
// Sync, a barrier. Every wait spins briefly with a pause instruction (what a worker waits for is
// usually a few microseconds away) and then blocks, so that a waiting thread leaves its core to
// whoever needs it (the host's renderer runs threads too). Workers only compute: whoever calls Run
// alone touches anything outside the lighting's storage.
class LightingPool {
public:
    // The work of one call, run once on every worker.
    class Job {
    public:
        virtual void operator()(int worker) = 0;

    protected:
        ~Job() = default;
    };

    explicit LightingPool(int workers);
    ~LightingPool();
    LightingPool(const LightingPool&) = delete;
    LightingPool& operator=(const LightingPool&) = delete;

    int Workers() const { return Count; }

    // Runs job(w) on every worker w at once and returns when all have finished.
    void Run(Job& job);

    // Called by the same `participants` workers of the running job: returns once all of them have
    // called it.
    void Sync(int participants);

    // The CPUs this process may run on (its affinity mask), at least 1.
    static int UsableCpus();

    // How many times, in the last Run, a worker found the barrier closed for longer than its spin:
    // a sign that the workers do not each have a CPU to themselves.
    int BlockedSyncs() const { return Blocked.load(std::memory_order_relaxed); }

    // Waits until `value` no longer holds `old`: spins, then blocks until a notify. True when it had
    // to block.
    template <typename T>
    static bool AwaitChange(const std::atomic<T>& value, T old) {
        for (int round = 0; round < SpinRounds; ++round) {
            if (value.load(std::memory_order_acquire) != old)
                return false;
            Pause();
        }
        while (value.load(std::memory_order_acquire) == old)
            veltra::platform::WaitWhileEqual(value, old);
        return true;
    }

    static constexpr int SpinRounds = 2000;

private:
    static void Pause() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#elif defined(__aarch64__)
        asm volatile("yield");
#endif
    }
    void Serve(int worker);

    // Read by every worker, written only between calls.
    int Count = 1;
    Job* Current = nullptr;
    bool Stopping = false;
    std::vector<std::thread> Helpers;
    // Written during a call: each on a cache line of its own.
    alignas(64) std::atomic<std::uint32_t> Started{0}; // bumped to start a job
    alignas(64) std::atomic<int> Finished{0};          // helpers done with the current job
    alignas(64) std::atomic<int> Arrived{0};           // at the barrier
    alignas(64) std::atomic<std::uint32_t> Passes{0};  // barrier generation
    alignas(64) std::atomic<int> Blocked{0};           // waits at the barrier that blocked
};
