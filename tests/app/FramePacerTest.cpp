// How fast a window shows its frames.

#include "app/FramePacer.h"

#include <gtest/gtest.h>

TEST(FramePacerTest, EarlyFramesWaitForTheirSlotAndLateOnesRestartTheSchedule) {
    using namespace std::chrono_literals;
    const FramePacer::Clock::time_point start{};
    FramePacer pacer(50), unpaced(0); // slots of 20 ms, and none
    // On time, early, on time, early; then far behind: no burst to catch up, a whole slot on.
    for (auto [at, delay] :
         {std::pair{0ms, 0ms}, {5ms, 15ms}, {40ms, 0ms}, {45ms, 15ms}, {500ms, 0ms}, {501ms, 19ms}}) {
        EXPECT_EQ(pacer.Delay(start + at), delay) << at.count();
        EXPECT_EQ(unpaced.Delay(start + at), 0ms);
    }
}
