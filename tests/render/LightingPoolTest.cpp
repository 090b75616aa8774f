// The lighting's threads: every worker runs each job once, nobody passes the barrier before all have
// reached it, and the pool serves call after call and stops while its helpers sleep.

#include "render/LightingPool.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Rounds final : LightingPool::Job {
    LightingPool& Pool;
    std::vector<int> Done; // per worker, rounds finished; each written by its own worker only
    std::atomic<int> Behind{0};
    explicit Rounds(LightingPool& pool) : Pool(pool), Done(static_cast<std::size_t>(pool.Workers()), 0) {}
    void operator()(int worker) override {
        for (int round = 0; round < 200; ++round) {
            Done[static_cast<std::size_t>(worker)] = round + 1;
            Pool.Sync(Pool.Workers());
            for (const int done : Done) // everyone finished this round; nobody can have started the next
                Behind.fetch_add(done != round + 1, std::memory_order_relaxed);
            Pool.Sync(Pool.Workers());
        }
    }
};

TEST(LightingPoolTest, EveryWorkerRunsTheJobAndTheBarrierHoldsThemTogether) {
    EXPECT_GE(LightingPool::UsableCpus(), 1);
    for (const int workers : {1, 2, 3}) {
        LightingPool pool(workers);
        for (int call = 0; call < 3; ++call) {
            Rounds job(pool);
            pool.Run(job);
            EXPECT_EQ(job.Done, std::vector<int>(static_cast<std::size_t>(workers), 200));
            EXPECT_EQ(job.Behind.load(), 0);
        }
    }
}

} // namespace
