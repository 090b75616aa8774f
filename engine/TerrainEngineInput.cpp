// The engine's keyboard and mouse parts: they only change the flight state, Frame applies it.

#include "engine/FlightState.h"
#include "engine/TerrainEngine.h"
#include "platform/Platform.h"

#include <cstdio>

namespace {
constexpr std::uint32_t KeyT = 84;
}

bool TerrainEngine::OnKeyDown(std::uint32_t key) {
    switch (key) {
    case VK_PRIOR:
        ++LightSmoothing;
        std::printf("%d\n", LightSmoothing);
        break;
    case VK_NEXT:
        if (LightSmoothing > 1)
            --LightSmoothing;
        std::printf("%d\n", LightSmoothing);
        break;
    case VK_LEFT:
        CameraHeading += flight::HeadingStep;
        break;
    case VK_UP:
        CameraVelocity = flight::Speed;
        break;
    case VK_RIGHT:
        CameraHeading -= flight::HeadingStep;
        break;
    case VK_DOWN:
        CameraVelocity = -flight::Speed;
        break;
    case VK_ADD:
        LightSpeed += flight::LightSpeedStep;
        std::printf("%f\n", static_cast<double>(LightSpeed));
        break;
    case VK_SUBTRACT:
        LightSpeed -= flight::LightSpeedStep;
        std::printf("%f\n", static_cast<double>(LightSpeed));
        break;
    default:
        break;
    }
    return true;
}

bool TerrainEngine::OnKeyUp(std::uint32_t key) {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        CameraVelocity = 0.0f;
        break;
    case KeyT:
        TopView = !TopView;
        break;
    default:
        break;
    }
    return true;
}

bool TerrainEngine::OnMouseMove(std::int32_t /*x*/, std::int32_t /*y*/) {
    return true;
}
