#include "engine/FlightState.h"

#include <cmath>

float CameraX = 0.0f;
float CameraZ = 0.0f;
float CameraHeading = 0.0f;
float CameraVelocity = 0.0f;
float LightAngle = 0.0f;
float LightSpeed = 0.003f;
std::int32_t LightSmoothing = 3;
bool TopView = true;

float flight::NextLightAngle(float angle, float speed) {
    constexpr float Turn = 6.28318531f;
    const float next = angle + speed;
    return std::fabs(next) >= Turn ? std::fmod(next, Turn) : next;
}
