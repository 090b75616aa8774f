// Each frame applies what the key handlers changed: the camera moves, the light turns, the
// terrain is relit and drawn. The box made at Init is not drawn.

#include "engine/FlightState.h"
#include "engine/Scene.h"
#include "engine/TerrainEngine.h"
#include "host/DllInterface.h"
#include "host/Kernel.h"
#include "host/Renderer.h"
#include "render/Terrain.h"
#include "render/TerrainEye.h"

#include <cmath>

namespace {
// The runtime's double-precision functions on a float angle, taken back as a float.
float Sine(float angle) {
    return static_cast<float>(std::sin(static_cast<double>(angle)));
}
float Cosine(float angle) {
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}

// Where the view set with SetCamera(tx, ty, tz, yaw, pitch, 0) stands and looks: at (-tx, -ty, -tz),
// along (-sin yaw, 0, cos yaw) tilted by pitch (-1.57 looks straight down).
TerrainEye EyeOf(float tx, float ty, float tz, float yaw, float pitch) {
    const float level = Cosine(pitch);
    return {-tx, -ty, -tz, -Sine(yaw) * level, Sine(pitch), Cosine(yaw) * level, 0.0f};
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

    TerrainEye eye;
    if (TopView) {
        device->SetCamera(0.0f, flight::TopViewOffset, 0.0f, 0.0f, flight::TopViewPitch, 0.0f);
        eye = EyeOf(0.0f, flight::TopViewOffset, 0.0f, 0.0f, flight::TopViewPitch);
    } else {
        const float ground = SceneTerrain != nullptr ? SceneTerrain->GetHeight(-CameraZ, -CameraX) : 0.0f;
        device->SetCamera(CameraX, -ground - flight::EyeHeight, CameraZ, CameraHeading, 0.0f, 0.0f);
        eye = EyeOf(CameraX, -ground - flight::EyeHeight, CameraZ, CameraHeading, 0.0f);
    }

    // The fly view leaves out tiles beside the picture; the top view draws the whole terrain.
    if (const Window& window = kernel->GetWindow(); !TopView && window.Width > 0 && window.Height > 0)
        eye.Aspect = static_cast<float>(window.Width) / static_cast<float>(window.Height);

    const float lightX = flight::LightHorizontal * Cosine(LightAngle);
    const float lightZ = flight::LightHorizontal * Sine(LightAngle);
    if (SceneTerrain != nullptr)
        SceneTerrain->UpdateLighting(SceneHeightmap, lightX, flight::LightVertical, lightZ, LightSmoothing);

    device->BeginScene(1);
    if (SceneTerrain != nullptr)
        SceneTerrain->Render(device, eye);
    return device->EndScene(1);
}
