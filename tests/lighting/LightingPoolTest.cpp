// The pool that runs the lighting's tasks: every task once, none before its prerequisites, the
// calling thread told of finished tasks in order, and a failure on the calling thread that ends
// the call cleanly and leaves the pool usable.

#include "lighting/LightingPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Rounds of tasks of uneven length, each round needing the first half of every round before.
class Rounds final : public LightingPool::Job {
public:
    Rounds(int rounds, int perRound)
        : PerRound(perRound), Count(rounds * perRound), Done(new std::atomic<int>[Count]) {
        for (int task = 0; task < Count; ++task)
            Done[task] = 0;
    }

    int Tasks() const override { return Count; }
    bool Needed(int task) const override { return task % PerRound < Links(); }
    int Prerequisites(int task) const override { return task / PerRound * Links(); }
    void Run(int task, int worker) noexcept override {
        for (int before = 0; before < task / PerRound * PerRound; ++before)
            if (Needed(before) && Done[before].load() != 1)
                Early = true;
        if (worker == 0 && std::this_thread::get_id() != Caller)
            Misplaced = true;
        if (task % 3 == 0) // tasks of uneven length
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        // Late tasks on helpers wait for the failure and then take long, so that they get through
        // few tasks while it reaches the pool, however long that is (a process's first exception
        // unwinds for milliseconds under Wine). The wait is bounded: a caller set aside between
        // its tasks may next take a task that needs a held one, and tells nothing while it waits.
        if (worker != 0 && HoldFrom >= 0 && task >= HoldFrom) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
            while (!Thrown.load() && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Done[task].fetch_add(1);
    }
    void Between(int finished) override {
        if (std::this_thread::get_id() != Caller || finished < LastTold)
            Misplaced = true;
        LastTold = finished;
        if (ThrowAt >= 0 && finished >= ThrowAt) {
            Thrown = true;
            throw std::runtime_error("host refused");
        }
    }

    int Links() const { return (PerRound + 1) / 2; }
    int PerRound, Count;
    std::unique_ptr<std::atomic<int>[]> Done;
    std::atomic<bool> Early{false}, Misplaced{false}, Thrown{false};
    std::thread::id Caller = std::this_thread::get_id();
    int LastTold = 0;
    int ThrowAt = -1, HoldFrom = -1;
};

TEST(LightingPoolTest, RunsEveryTaskOnceAfterItsPrerequisitesAndTellsTheCallerInOrder) {
    for (const int workers : {1, 2, 3, 5}) {
        SCOPED_TRACE(workers);
        LightingPool pool(workers);
        for (int call = 0; call < 20; ++call) { // calls in a row reuse the threads
            Rounds job(12, call % 4 + 1);
            pool.Run(job);
            for (int task = 0; task < job.Count; ++task)
                ASSERT_EQ(job.Done[task].load(), 1) << task;
            EXPECT_FALSE(job.Early);
            EXPECT_FALSE(job.Misplaced);
            EXPECT_EQ(job.LastTold, job.Count);
        }
    }
}

TEST(LightingPoolTest, AFailureBetweenTasksEndsTheCallOnceTheTasksUnderWayHaveEnded) {
    LightingPool pool(3);
    for (int call = 0; call < 8; ++call) {
        Rounds failing(40, 3);
        failing.ThrowAt = 10;
        failing.HoldFrom = 20;
        EXPECT_THROW(pool.Run(failing), std::runtime_error);
        int ran = 0;
        for (int task = 0; task < failing.Count; ++task)
            ran += failing.Done[task].load();
        EXPECT_LT(ran, failing.Count);
        EXPECT_FALSE(failing.Early);
        // Nothing of the failed call runs later, and the next call runs whole.
        Rounds next(5, 3);
        pool.Run(next);
        for (int task = 0; task < failing.Count; ++task)
            ASSERT_LE(failing.Done[task].load(), 1);
        for (int task = 0; task < next.Count; ++task)
            ASSERT_EQ(next.Done[task].load(), 1);
    }
}

} // namespace
