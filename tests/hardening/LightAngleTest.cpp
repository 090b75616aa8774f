// The circling light: it starts at angle 0 turning 0.003 a frame, and its angle stays within a
// turn, so each frame's step still counts after millions of frames.

#include "engine/FlightState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float Turn = 6.28318531f;

TEST(LightAngleTest, WithinTheFirstTurnTheAngleIsThePlainSumFromTheStart) {
    float angle = LightAngle;
    float sum = 0.0f;
    for (int frame = 0; frame < 2000; ++frame) { // 6 radians
        angle = flight::NextLightAngle(angle, LightSpeed);
        sum += 0.003f;
        ASSERT_EQ(angle, sum) << frame;
    }
}

TEST(LightAngleTest, TheAngleWrapsEitherWayAndEachStepStillCounts) {
    // Where the plain sum would be after tens of millions of frames, a step no longer changed it.
    for (const float speed : {0.003f, -0.0005f, 20.0f}) {
        float angle = speed > 0.0f ? Turn - 0.001f : -Turn + 0.0001f;
        for (int frame = 0; frame < 100; ++frame) {
            const float next = flight::NextLightAngle(angle, speed);
            ASSERT_LT(std::fabs(next), Turn) << speed;
            ASSERT_NEAR(std::remainder(next - angle - speed, Turn), 0.0f, 1e-5f) << speed;
            angle = next;
        }
    }
}

} // namespace
