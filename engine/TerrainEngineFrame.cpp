#include "engine/FlightState.h"
#include "engine/TerrainEngine.h"
#include "host/Renderer.h"

bool TerrainEngine::Frame(std::uint32_t /*unused*/, Renderer* device) {
    if (!Initialised || device == nullptr)
        return false;
    device->SetClearColor(flight::ClearColour);
    device->BeginScene(1);
    return device->EndScene(1);
}
