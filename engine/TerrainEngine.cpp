#include "engine/TerrainEngine.h"

#include "engine/Scene.h"
#include "host/Kernel.h"

TerrainEngine::~TerrainEngine() {
    // The kernel need only outlive Release: after it (or without any Init) nothing is touched. A host
    // that skipped Release still has its kernel, and gets its buffers back and no input to a
    // deleted engine.
    if (Initialised)
        Release();
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
