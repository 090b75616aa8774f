// How fast a window shows its frames.

#include "app/FramePacer.h"

#include <gtest/gtest.h>

TEST(FramePacerTest, EarlyFramesWaitForTheirSlotAndLateOnesRestartTheSchedule) {
    using namespace std::chrono_literals;
    FramePacer pacer(50), unpaced(0); // slots of 20 ms, and none
    // The schedule starts at the first frame, not at the clock's zero. On time, early, on time, early;
    // then far behind: no burst to catch up, a whole slot on; then exactly one slot behind, which
    // still keeps the schedule.
    // clang-format off
    const std::pair<std::chrono::milliseconds, std::chrono::milliseconds> frames[] = {{10ms, 0ms},
        {15ms, 15ms}, {50ms, 0ms}, {55ms, 15ms}, {510ms, 0ms}, {511ms, 19ms}, {570ms, 0ms}, {571ms, 0ms}};
    // clang-format on
    for (auto [at, delay] : frames)
        EXPECT_EQ(std::pair(pacer.Delay(FramePacer::Clock::time_point{at}),
                            unpaced.Delay(FramePacer::Clock::time_point{at})),
                  std::pair(FramePacer::Clock::duration{delay}, FramePacer::Clock::duration{}));
}
