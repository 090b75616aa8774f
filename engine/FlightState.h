#pragma once
// Camera and light state shared by Init, Frame and the key handlers. It starts with these values
// when the module is loaded and is never reset: a second Init carries on from where the last
// frames left it. The key handlers only change it; Frame applies it.

#include <cstdint>

extern float CameraX;               // eye at world x = -CameraX
extern float CameraZ;               // eye at world z = -CameraZ
extern float CameraHeading;         // radians; direction of travel and turn of the view
extern float CameraVelocity;        // distance per frame: 1.5 forward, -1.5 back, 0 at rest
extern float LightAngle;            // radians about the vertical axis
extern float LightSpeed;            // radians added to LightAngle per frame
extern std::int32_t LightSmoothing; // easing count handed to the lighting; never below 1 by keys
extern bool TopView;                // true: fixed view from straight above; false: fly view

namespace flight {
inline constexpr float HeadingStep = 0.15f;
inline constexpr float Speed = 1.5f;
inline constexpr float LightSpeedStep = 0.0005f;
inline constexpr float EyeHeight = 8.0f;
inline constexpr float TopViewOffset = -700.0f;
inline constexpr float TopViewPitch = -1.57f;
inline constexpr float LightHorizontal = 45.0f;
inline constexpr float LightVertical = -15.0f;
inline constexpr std::uint32_t ClearColour = 0xBBCCDDEE;

// The light angle one frame on: angle + speed, kept within one turn either way. The plain sum
// loses precision as it grows: after some 5 million frames at the starting speed each step
// rounds to 30% more, and past 65,536 radians (some 19 million frames, three and a half days at
// 60 frames a second) a step no longer changes it and the light stands still.
float NextLightAngle(float angle, float speed);
} // namespace flight
