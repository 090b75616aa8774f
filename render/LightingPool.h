#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// The threads that share the lighting's work: started once, then reused for every call. The calling
// thread takes part as worker 0; the others sleep between calls. Inside a call the workers meet at
// Sync, a barrier that spins briefly (sweepers meet twice a line) and then yields the core.
// Workers only compute: whoever calls Run alone touches anything outside the lighting's storage.
class LightingPool {
public:
    using Job = void (*)(void* context, int worker);

    explicit LightingPool(int workers);
    ~LightingPool();
    LightingPool(const LightingPool&) = delete;
    LightingPool& operator=(const LightingPool&) = delete;

    int Workers() const { return Count; }

    // Runs job(context, w) on every worker w at once and returns when all have finished.
    void Run(Job job, void* context);

    // Called by the same `participants` workers of the running job: returns once all of them have
    // called it.
    void Sync(int participants);

    // Spins until done(), briefly, then yields the core between tries: what a worker waits for is
    // usually a few microseconds away, but the machine may be shared.
    template <typename Done>
    static void Await(Done done) {
        for (int round = 0; !done(); ++round)
            if (round >= SpinRounds)
                std::this_thread::yield();
    }

    static constexpr int SpinRounds = 4000;

private:
    void Serve(int worker);

    int Count = 1;
    std::vector<std::thread> Helpers;
    Job Current = nullptr;
    void* Context = nullptr;
    std::atomic<std::uint32_t> Started{0}; // bumped to start a job
    std::atomic<int> Finished{0};          // helpers done with the current job
    std::atomic<int> Arrived{0};           // at the barrier
    std::atomic<std::uint32_t> Passes{0};  // barrier generation
    bool Stopping = false;
};
