// The circling light over a long run: its angle stays within a turn, so each frame's step still
// counts after tens of millions of frames, and within the first turn it is the plain sum.

#include "engine/FlightState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float Turn = 6.28318531f;
constexpr float StartingSpeed = 0.003f;

// The step from before to after, taken the short way round.
float Step(float before, float after) {
    return std::remainder(after - before, Turn);
}

TEST(LightAngleTest, WithinTheFirstTurnTheAngleIsThePlainSum) {
    float angle = 0.0f;
    float sum = 0.0f;
    for (int frame = 0; frame < 2000; ++frame) { // 6 radians
        angle = flight::NextLightAngle(angle, StartingSpeed);
        sum += StartingSpeed;
        ASSERT_EQ(angle, sum) << frame;
    }
}

TEST(LightAngleTest, TheLightStillTurnsAfterTwentyMillionFrames) {
    float angle = 0.0f;
    float sum = 0.0f;
    for (int frame = 0; frame < 20'000'000; ++frame) {
        angle = flight::NextLightAngle(angle, StartingSpeed);
        sum += StartingSpeed;
    }
    EXPECT_EQ(sum + StartingSpeed, sum); // the plain sum has stopped: the light would stand still
    EXPECT_LT(std::fabs(angle), Turn);
    for (int frame = 0; frame < 1000; ++frame) {
        const float before = angle;
        angle = flight::NextLightAngle(angle, StartingSpeed);
        ASSERT_NEAR(Step(before, angle), StartingSpeed, 1e-6f) << frame;
    }
}

TEST(LightAngleTest, ANegativeOrFastLightWrapsTheOtherWayOrSeveralTurns) {
    float angle = 0.0f;
    for (int frame = 0; frame < 100'000; ++frame)
        angle = flight::NextLightAngle(angle, -0.0005f);
    EXPECT_GT(angle, -Turn);
    EXPECT_LE(angle, 0.0f);
    EXPECT_NEAR(Step(angle, flight::NextLightAngle(angle, -0.0005f)), -0.0005f, 1e-6f);
    // A speed of more than a turn per frame (thousands of key presses) still lands within a turn.
    const float fast = flight::NextLightAngle(1.0f, 20.0f);
    EXPECT_LT(std::fabs(fast), Turn);
    EXPECT_NEAR(Step(1.0f + 20.0f, fast), 0.0f, 1e-5f);
}

} // namespace
