#include "engine/TerrainEngine.h"

#include "host/Kernel.h"

TerrainEngine::~TerrainEngine() {
    // The scene belongs to Release; only make sure no input reaches a deleted engine.
    if (kernel != nullptr) {
        kernel->RemoveKeyboardListener(this);
        kernel->RemoveMouseListener(this);
    }
}

bool TerrainEngine::Init(Renderer* device) {
    (void)device;
    Log& log = kernel->GetLog();
    log.Write("Initialising VeltraEngine...");
    LightSceneFirstTime();
    // Input reaches the engine from here on; it only changes state that the next Frame applies.
    if (!Initialised) {
        kernel->AddKeyboardListener(this);
        kernel->AddMouseListener(this);
    }
    Initialised = true;
    return true;
}

void TerrainEngine::Release() {
    if (!Initialised)
        return;
    Log& log = kernel->GetLog();
    log.Write("Releasing VeltraEngine...");
    log.Write("-> Close VM");
    kernel->RemoveKeyboardListener(this);
    kernel->RemoveMouseListener(this);
    Initialised = false;
}
