// How fast a window shows its frames.

#include "app/FramePacer.h"

#include <gtest/gtest.h>

TEST(FramePacerTest, EarlyFramesWaitForTheirSlotAndLateOnesRestartTheSchedule) {
    using namespace std::chrono_literals;
    FramePacer pacer(50), unpaced(0); // slots of 20 ms, and none
    // On time, early, on time, early; then far behind: no burst to catch up, a whole slot on; then
    // exactly one slot behind, which still keeps the schedule.
    // clang-format off
    const std::pair<std::chrono::milliseconds, std::chrono::milliseconds> frames[] = {{0ms, 0ms}, {5ms, 15ms},
        {40ms, 0ms}, {45ms, 15ms}, {500ms, 0ms}, {501ms, 19ms}, {560ms, 0ms}, {561ms, 0ms}};
    // clang-format on
    for (auto [at, delay] : frames)
        EXPECT_EQ(std::pair(pacer.Delay(FramePacer::Clock::time_point{at}),
                            unpaced.Delay(FramePacer::Clock::time_point{at})),
                  std::pair(FramePacer::Clock::duration{delay}, FramePacer::Clock::duration{}));
}
