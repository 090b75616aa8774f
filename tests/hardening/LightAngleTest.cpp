// The circling light: it starts at angle 0 turning 0.003 a frame, and its angle stays within a
// turn either way, so that each frame's step still counts after millions of frames.

#include "engine/FlightState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(LightAngleTest, TheAngleIsThePlainSumWithinATurnAndWrapsEitherWayWithEachStepCounting) {
    float angle = LightAngle, sum = 0.0f;
    for (int frame = 0; frame < 2000; ++frame) // 6 radians
        ASSERT_EQ(angle = flight::NextLightAngle(angle, LightSpeed), sum += 0.003f) << frame;
    constexpr float Turn = 6.28318531f;
    for (const float speed : {0.003f, -0.0005f, 20.0f}) {
        angle = speed > 0.0f ? Turn - 0.001f : -Turn + 0.0001f;
        for (int frame = 0; frame < 100; ++frame) {
            const float next = flight::NextLightAngle(angle, speed);
            ASSERT_TRUE(std::fabs(next) < Turn &&
                        std::fabs(std::remainder(next - angle - speed, Turn)) < 1e-5f)
                << speed;
            angle = next;
        }
    }
}

} // namespace
