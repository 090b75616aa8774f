// Each frame applies what the key handlers changed: the camera moves, the light turns, the
// terrain is relit and drawn. The box made at Init is not drawn.

#include "engine/FlightState.h"
#include "engine/Scene.h"
#include "engine/TerrainEngine.h"
#include "host/Renderer.h"
#include "render/Terrain.h"

#include <cmath>

namespace {
// The runtime's double-precision functions on a float angle, taken back as a float.
float Sine(float angle) {
    return static_cast<float>(std::sin(static_cast<double>(angle)));
}
float Cosine(float angle) {
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}

constexpr float FirstLightX = 100.0f;
constexpr float FirstLightY = -35.0f;
constexpr float FirstLightZ = 0.0f;
} // namespace

void TerrainEngine::LightSceneFirstTime() {
    if (SceneTerrain != nullptr)
        SceneTerrain->UpdateLighting(SceneHeightmap, FirstLightX, FirstLightY, FirstLightZ, LightSmoothing);
}

bool TerrainEngine::Frame(std::uint32_t /*unused*/, Renderer* device) {
    if (!Initialised || device == nullptr)
        return false;
    device->SetClearColor(flight::ClearColour);

    LightAngle = flight::NextLightAngle(LightAngle, LightSpeed);
    CameraX += Sine(CameraHeading) * CameraVelocity;
    CameraZ -= Cosine(CameraHeading) * CameraVelocity;

    if (TopView) {
        device->SetCamera(0.0f, flight::TopViewOffset, 0.0f, 0.0f, flight::TopViewPitch, 0.0f);
    } else {
        const float ground = SceneTerrain != nullptr ? SceneTerrain->GetHeight(-CameraZ, -CameraX) : 0.0f;
        device->SetCamera(CameraX, -ground - flight::EyeHeight, CameraZ, CameraHeading, 0.0f, 0.0f);
    }

    const float lightX = flight::LightHorizontal * Cosine(LightAngle);
    const float lightZ = flight::LightHorizontal * Sine(LightAngle);
    if (SceneTerrain != nullptr)
        SceneTerrain->UpdateLighting(SceneHeightmap, lightX, flight::LightVertical, lightZ, LightSmoothing);

    device->BeginScene(1);
    if (SceneTerrain != nullptr)
        SceneTerrain->Render(device);
    return device->EndScene(1);
}
