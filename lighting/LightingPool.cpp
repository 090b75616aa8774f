#include "lighting/LightingPool.h"

#include "platform/AddressWait.h"
#include "platform/Processors.h"

#include <algorithm>

namespace {
void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

constexpr std::uint64_t Field = LightingPool::MaxTasks;
constexpr std::uint64_t Generations = (std::uint64_t{1} << 24) - 1;
} // namespace

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
    const int tasks = job.Tasks();
    if (Count == 1 || tasks <= 1) {
        for (int task = 0; task < tasks; ++task) {
            job.Between(task);
            job.Run(task, 0);
        }
        job.Between(tasks);
        return;
    }
    Current = &job;
    CallStart = std::chrono::steady_clock::now();
    Long = 0;
    Finished.store(0, std::memory_order_relaxed);
    NeededFinished.store(0, std::memory_order_relaxed);
    Blocked.store(0, std::memory_order_relaxed);
    Generation = (Generation + 1) & Generations;
    Claim.store(Word(Generation, static_cast<std::uint64_t>(tasks), 0), std::memory_order_release);
    Started.fetch_add(1, std::memory_order_release);
    veltra::platform::WakeAllWaiters(&Started);
    try {
        // The calling thread hands out what is finished before each task it takes, and at the end.
        int task = 0;
        for (job.Between(0); Take(Generation, task); job.Between(Finished.load(std::memory_order_acquire)))
            Work(task, 0);
        for (int done = Finished.load(std::memory_order_acquire); done < tasks;
             done = Finished.load(std::memory_order_acquire)) {
            job.Between(done);
            AwaitFinished(Finished, done + 1, true);
        }
        job.Between(tasks);
    } catch (...) {
        Cancel();
        throw;
    }
}

// No task starts any more; returns once those under way (the calling thread holds none) have ended.
void LightingPool::Cancel() {
    std::uint64_t word = Claim.load(std::memory_order_acquire);
    while (
        !Claim.compare_exchange_weak(word, (word & ~Field) | (word >> 20 & Field), std::memory_order_acq_rel))
        ;
    const int taken = static_cast<int>(word & Field);
    for (int done = Finished.load(std::memory_order_acquire); done < taken;
         done = Finished.load(std::memory_order_acquire))
        AwaitFinished(Finished, done + 1);
}

void LightingPool::Serve(int worker) {
    std::uint32_t seen = 0;
    for (;;) {
        for (int round = 0; round < SpinRounds && Started.load(std::memory_order_acquire) == seen; ++round)
            Pause();
        veltra::platform::WaitWhileEqual(Started, seen);
        seen = Started.load(std::memory_order_acquire);
        if (Stopping)
            return;
        const std::uint64_t generation = Claim.load(std::memory_order_acquire) >> 40;
        int task = 0;
        while (Take(generation, task))
            Work(task, worker);
    }
}

// Takes the next task of call `generation`, if it has one left.
bool LightingPool::Take(std::uint64_t generation, int& task) {
    std::uint64_t word = Claim.load(std::memory_order_acquire);
    for (;;) {
        const std::uint64_t next = word & Field;
        if (word >> 40 != generation || next >= (word >> 20 & Field))
            return false;
        if (Claim.compare_exchange_weak(word, word + 1, std::memory_order_acq_rel,
                                        std::memory_order_acquire)) {
            task = static_cast<int>(next);
            return true;
        }
    }
}

void LightingPool::Work(int task, int worker) {
    Job& job = *Current;
    AwaitFinished(NeededFinished, job.Prerequisites(task), worker == 0);
    job.Run(task, worker);
    if (job.Needed(task))
        NeededFinished.fetch_add(1, std::memory_order_seq_cst);
    Finished.fetch_add(1, std::memory_order_seq_cst);
    if (Sleepers.load(std::memory_order_seq_cst) > 0)
        veltra::platform::WakeAllWaiters(&Finished);
}

// Until `counter` (Finished, or NeededFinished, which never grows without Finished after it) reaches
// `count`: a short spin, then blocked on Finished. A finishing worker wakes the blocked ones only when
// there are any, which each tells before it looks for the last time.
void LightingPool::AwaitFinished(const std::atomic<int>& counter, int count, bool caller) {
    for (int round = 0; round < SpinRounds; ++round) {
        if (counter.load(std::memory_order_acquire) >= count)
            return;
        Pause();
    }
    Blocked.fetch_add(1, std::memory_order_relaxed);
    const auto start = std::chrono::steady_clock::now();
    Sleepers.fetch_add(1, std::memory_order_seq_cst);
    for (int seen = Finished.load(std::memory_order_seq_cst); counter.load(std::memory_order_seq_cst) < count;
         seen = Finished.load(std::memory_order_seq_cst))
        veltra::platform::WaitWhileEqual(Finished, seen);
    Sleepers.fetch_sub(1, std::memory_order_relaxed);
    if (caller) {
        // Longer than four of the call's tasks take on average so far, and than a millisecond.
        const auto now = std::chrono::steady_clock::now();
        const int finished = std::max(Finished.load(std::memory_order_relaxed), 1);
        const auto task = (now - CallStart) * Count / finished;
        if (now - start >
            std::max<std::chrono::steady_clock::duration>(4 * task, std::chrono::milliseconds(1)))
            ++Long;
    }
}
