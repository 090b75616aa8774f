// A shortened long run in the test suite (the full one is scripts/longrun): thousands of frames
// hold no more memory at the end than after warming up, and the log stays whole.

#include "LongRun.h"

#include <gtest/gtest.h>

namespace {

constexpr int Frames = 5000;
// Steady frames allocate nothing; posting the turns goes through the message queue, whose storage
// may settle by a block. Any per-frame leak passes this within a few hundred frames.
constexpr std::size_t HeapSlack = 4096;
constexpr std::size_t ResidentSlack = std::size_t{1} << 20;

TEST(LongRunTest, FramesHoldNoMoreMemoryAndTheLogStaysWhole) {
    const LongRunResult run = LongRun::Run(Frames);
    ASSERT_TRUE(run.Initialised);
    EXPECT_EQ(run.FramesDrawn, LongRun::WarmUpFrames + Frames);
    EXPECT_LE(run.End.HeapBytes, run.Start.HeapBytes + HeapSlack)
        << "heap in use from " << run.Start.HeapBytes << " to " << run.End.HeapBytes << " bytes";
    EXPECT_LE(run.End.ResidentBytes, run.Start.ResidentBytes + ResidentSlack)
        << "resident from " << run.Start.ResidentBytes << " to " << run.End.ResidentBytes << " bytes";
    EXPECT_EQ(LongRun::LogProblem(run), "");
}

} // namespace
