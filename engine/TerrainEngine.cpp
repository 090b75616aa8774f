#include "engine/TerrainEngine.h"

#include "engine/Scene.h"
#include "host/Kernel.h"

TerrainEngine::~TerrainEngine() {
    // Release frees the scene; a host that skipped it still gets its device's buffers back.
    if (Initialised)
        ReleaseScene();
    // Make sure no input reaches a deleted engine.
    if (kernel != nullptr) {
        kernel->RemoveKeyboardListener(this);
        kernel->RemoveMouseListener(this);
    }
}

bool TerrainEngine::Init(Renderer* device) {
    Log& log = kernel->GetLog();
    log.Write("Initialising VeltraEngine...");
    RunConfigurationScript(log);
    BuildScene(device, log);
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
    ReleaseScene();
    kernel->RemoveKeyboardListener(this);
    kernel->RemoveMouseListener(this);
    Initialised = false;
}
