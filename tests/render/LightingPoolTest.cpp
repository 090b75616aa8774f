// The lighting's threads: every worker runs each job once, and nobody passes the barrier before all
// have reached it, call after call.

#include "render/LightingPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Rounds final : LightingPool::Job {
    LightingPool& Pool;
    std::vector<int> Done; // per worker, the rounds it finished; each written by its own worker only
    std::atomic<int> Behind{0};
    explicit Rounds(LightingPool& pool) : Pool(pool), Done(static_cast<std::size_t>(pool.Workers()), 0) {}
    void operator()(int worker) override {
        for (int round = 1; round <= 200; ++round) {
            Done[static_cast<std::size_t>(worker)] = round;
            Pool.Sync(Pool.Workers()); // now everyone has finished this round and none the next
            Behind +=
                static_cast<int>(std::count_if(Done.begin(), Done.end(), [&](int d) { return d != round; }));
            Pool.Sync(Pool.Workers());
        }
    }
};

TEST(LightingPoolTest, EveryWorkerRunsTheJobAndTheBarrierHoldsThemTogether) {
    for (const int workers : {1, 2, 3}) {
        LightingPool pool(workers);
        for (int call = 0; call < 2; ++call) {
            Rounds job(pool);
            pool.Run(job);
            EXPECT_EQ(job.Done, std::vector<int>(static_cast<std::size_t>(workers), 200));
            EXPECT_EQ(job.Behind.load(), 0);
        }
    }
}

} // namespace
