#include "FuzzRenderer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

bool ReversedVertexBuffer::Set(int index, const void* element) {
    if (index < 0 || index >= AllocatedCount)
        return false;
    return MemoryVertexBuffer::Set(AllocatedCount - 1 - index, element);
}

void* ReversedVertexBuffer::Get(int index) {
    if (index < 0 || index >= AllocatedCount)
        return nullptr;
    return MemoryVertexBuffer::Get(AllocatedCount - 1 - index);
}

bool FuzzRenderer::BeginScene(int /*flags*/) {
    // The engine must not nest scenes.
    if (InScene)
        std::abort();
    InScene = true;
    return true;
}

bool FuzzRenderer::EndScene(int /*flags*/) {
    if (!InScene)
        std::abort();
    InScene = false;
    ++FrameCount;
    return true;
}

bool FuzzRenderer::CreateVertexBuffer(VertexBuffer** out) {
    switch (Kind) {
    case BufferKind::Contiguous:
        *out = new MemoryVertexBuffer();
        return true;
    case BufferKind::Reversed:
        *out = new ReversedVertexBuffer();
        return true;
    case BufferKind::Unallocated:
        *out = new UnallocatedVertexBuffer();
        return true;
    case BufferKind::Refused:
        break;
    }
    return false;
}

bool FuzzRenderer::CreateIndexBuffer(IndexBuffer** out) {
    switch (Kind) {
    case BufferKind::Contiguous:
    case BufferKind::Reversed:
        *out = new MemoryIndexBuffer();
        return true;
    case BufferKind::Unallocated:
        *out = new UnallocatedIndexBuffer();
        return true;
    case BufferKind::Refused:
        break;
    }
    return false;
}

bool FuzzRenderer::SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    // Whatever keys and frames did, the view handed to the device is a real one.
    for (float value : {tx, ty, tz, yaw, pitch, roll})
        if (!std::isfinite(value))
            std::abort();
    ++Cameras;
    return true;
}
