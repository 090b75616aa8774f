#pragma once

#include "host/DllInterface.h"

#include <cstdint>

class Renderer;

class EngineInterface : public DllInterface {
public:
    // Builds the scene with the device; always true.
    virtual bool Init(Renderer* device) = 0;
    // Logs and deletes the scene.
    virtual void Release() = 0;
    // Moves the camera and the light, relights and draws the terrain; the first argument is unused.
    // Returns the device's EndScene result, false when there is no scene.
    virtual bool Frame(std::uint32_t unused, Renderer* device) = 0;
};
