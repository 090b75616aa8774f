#pragma once
// Keeps a run to at most a given number of frames a second. The camera moves a fixed step a
// frame, so an unpaced window flies as fast as the machine draws. Each frame has its slot on a
// fixed schedule and a frame that comes early waits for it; one that falls more than a slot
// behind starts the schedule afresh instead of rushing to catch up.

#include <chrono>

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // 0 frames a second: never waits.
    explicit FramePacer(int maxFramesPerSecond);

    // How long to wait, at `now`, before the next frame; moves the schedule on by a slot.
    Clock::duration Delay(Clock::time_point now);
    // Sleeps that long.
    void Wait();

private:
    Clock::duration Slot{};
    Clock::time_point Next{};
    bool Started = false;
};
