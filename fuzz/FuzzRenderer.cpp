#include "FuzzRenderer.h"

#include <cmath>
#include <cstdlib>

FuzzRenderer::FuzzRenderer(BufferKind kind) : Kind(kind) {
    Log->Enabled = false;
    MakeNoBuffers = kind == BufferKind::Refused;
    RefuseAllocate = kind == BufferKind::Unallocated;
}

bool FuzzRenderer::BeginScene(int flags) {
    // The engine must not nest scenes.
    if (InScene)
        std::abort();
    InScene = true;
    return RecordingRenderer::BeginScene(flags);
}

bool FuzzRenderer::EndScene(int flags) {
    if (!InScene)
        std::abort();
    InScene = false;
    return RecordingRenderer::EndScene(flags);
}

bool FuzzRenderer::SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    // Whatever keys and frames did, the view handed to the device is a real one.
    for (float value : {tx, ty, tz, yaw, pitch, roll})
        if (!std::isfinite(value))
            std::abort();
    Cameras.clear();
    return RecordingRenderer::SetCamera(tx, ty, tz, yaw, pitch, roll);
}
