#include "app/FramePacer.h"

#include <thread>

FramePacer::FramePacer(int maxFramesPerSecond) {
    if (maxFramesPerSecond > 0)
        Slot = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / maxFramesPerSecond;
}

FramePacer::Clock::duration FramePacer::Delay(Clock::time_point now) {
    if (Slot == Clock::duration::zero())
        return Clock::duration::zero();
    if (!Started || now > Next + Slot) {
        Started = true;
        Next = now;
    }
    const Clock::duration delay = Next > now ? Next - now : Clock::duration::zero();
    Next += Slot;
    return delay;
}

void FramePacer::Wait() {
    const Clock::duration delay = Delay(Clock::now());
    if (delay > Clock::duration::zero())
        std::this_thread::sleep_for(delay);
}
