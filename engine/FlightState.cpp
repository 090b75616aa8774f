#include "engine/FlightState.h"

float CameraX = 0.0f;
float CameraZ = 0.0f;
float CameraHeading = 0.0f;
float CameraVelocity = 0.0f;
float LightAngle = 0.0f;
float LightSpeed = 0.003f;
std::int32_t LightSmoothing = 3;
bool TopView = true;
