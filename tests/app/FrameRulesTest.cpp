// How big a run's frames are when the script chooses, and how fast a window shows them.

#include "app/FramePacer.h"
#include "app/FrameSize.h"

#include <gtest/gtest.h>

TEST(FrameSizeTest, ScriptSizesAreBroughtIntoRangeWithANote) {
    std::string note;
    EXPECT_EQ(FrameSize::Bounded(200, 100, &note), (FrameSize{200, 100}));
    EXPECT_EQ(note, "");
    EXPECT_EQ(FrameSize::Bounded(1, 8192, &note), (FrameSize{1, 8192}));
    EXPECT_EQ(note, "");
    EXPECT_EQ(FrameSize::Bounded(0, -5, &note), (FrameSize{1, 1}));
    EXPECT_EQ(note, "0x-5 is outside 1x1 to 8192x8192; using 1x1");
    EXPECT_EQ(FrameSize::Bounded(100000, 50, &note), (FrameSize{8192, 50}));
    EXPECT_EQ(note, "100000x50 is outside 1x1 to 8192x8192; using 8192x50");
}

TEST(FramePacerTest, EarlyFramesWaitForTheirSlotAndLateOnesRestartTheSchedule) {
    using namespace std::chrono_literals;
    const FramePacer::Clock::time_point start{};
    FramePacer pacer(50); // a slot of 20 ms
    EXPECT_EQ(pacer.Delay(start), 0ms);
    EXPECT_EQ(pacer.Delay(start + 5ms), 15ms);
    EXPECT_EQ(pacer.Delay(start + 40ms), 0ms); // on time
    EXPECT_EQ(pacer.Delay(start + 45ms), 15ms);
    // Far behind: no burst of frames to catch up, the next slot is a whole slot on.
    EXPECT_EQ(pacer.Delay(start + 500ms), 0ms);
    EXPECT_EQ(pacer.Delay(start + 501ms), 19ms);

    FramePacer unpaced(0);
    EXPECT_EQ(unpaced.Delay(start), 0ms);
    EXPECT_EQ(unpaced.Delay(start), 0ms);
}
