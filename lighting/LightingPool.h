#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

// The threads that share the lighting's work: started once, then reused for every call. The calling
// thread takes part as worker 0; the others sleep between calls.
//
// A call is a list of tasks, numbered in the order they are handed out: whichever worker is free
// takes the next one, so a worker that the system has set aside for a while holds up at most the
// one task it has taken. Some tasks are needed: a task may need the needed tasks before some earlier
// number to have finished first (its prerequisites); the others are needed by nothing, so a worker
// that finishes one early goes on without waiting for the rest of them. Every wait spins briefly
// with a pause instruction (what a worker waits for is usually a few microseconds away) and then
// blocks, leaving its core to whoever needs it (through the platform's wait on an address: MinGW GCC
// 12's atomic wait can lose a wake-up).
class LightingPool {
public:
    class Job {
    public:
        virtual int Tasks() const = 0;
        // Whether a task may be among others' prerequisites.
        virtual bool Needed(int task) const = 0;
        // Tasks come in rounds, each numbered after the round before. Prerequisites(task): the needed
        // tasks of every round before its own, which finish before `task` starts; a count, as the
        // first that many needed tasks are those.
        virtual int Prerequisites(int task) const = 0;
        virtual void Run(int task, int worker) noexcept = 0;
        // On the calling thread between its tasks, and whenever the count of finished tasks grows while
        // it waits for the last ones (not while it waits for a task's prerequisites): `finished` tasks
        // have finished, not always the first ones.
        virtual void Between(int finished) = 0;

    protected:
        ~Job() = default;
    };

    explicit LightingPool(int workers);
    ~LightingPool();
    LightingPool(const LightingPool&) = delete;
    LightingPool& operator=(const LightingPool&) = delete;

    int Workers() const { return Count; }

    // Runs every task of the job and returns once all have finished, Between last told of all of
    // them. When Between throws, no further task starts; Run returns (rethrowing) once the tasks
    // already under way have ended.
    void Run(Job& job);

    // The CPUs this process may run on (its affinity mask), at least 1.
    static int UsableCpus();

    // How many times, in the last Run, a worker had to block for a task's prerequisites.
    int BlockedWaits() const { return Blocked.load(std::memory_order_relaxed); }
    // How many times, in the last Run, the calling thread waited longer than a few of the call's
    // tasks take: a sign that the system set a worker aside while it held a task, as it does when
    // the workers do not each have a CPU to themselves.
    int LongWaits() const { return Long; }

    static constexpr int SpinRounds = 2000;
    static constexpr int MaxTasks = (1 << 20) - 1;

private:
    // The call under way and the next task to hand out, in one word so that a late worker can never
    // take a task of a later call: generation, task count, next task.
    static std::uint64_t Word(std::uint64_t generation, std::uint64_t tasks, std::uint64_t next) {
        return generation << 40 | tasks << 20 | next;
    }
    void Serve(int worker);
    bool Take(std::uint64_t generation, int& task);
    void Work(int task, int worker);
    void AwaitFinished(const std::atomic<int>& counter, int count, bool caller = false);
    void Cancel();

    int Count = 1;
    Job* Current = nullptr; // valid while a task of the current call is held
    std::vector<std::thread> Helpers;
    // Written during a call: each on a cache line of its own.
    alignas(64) std::atomic<std::uint64_t> Claim{0};
    alignas(64) std::atomic<int> Finished{0};
    alignas(64) std::atomic<int> NeededFinished{0};    // raised before Finished
    alignas(64) std::atomic<int> Sleepers{0};          // workers blocked on Finished
    alignas(64) std::atomic<std::uint32_t> Started{0}; // bumped to start a call, or to stop
    alignas(64) std::atomic<int> Blocked{0};
    bool Stopping = false;
    std::uint64_t Generation = 0;
    // The calling thread's own: when the call started, and its long waits.
    std::chrono::steady_clock::time_point CallStart;
    int Long = 0;
};
