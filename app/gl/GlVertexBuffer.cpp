#include "app/gl/GlVertexBuffer.h"

#include "app/gl/GlRenderer.h"

#include <algorithm>

GlVertexBuffer::GlVertexBuffer(GlRenderer* device) : Device(device) {
    Device->Attach(this);
}

GlVertexBuffer::~GlVertexBuffer() {
    if (Device != nullptr) {
        DeleteObjects();
        Device->Forget(this);
    }
}

bool GlVertexBuffer::Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) {
    if (!MemoryVertexBuffer::Allocate(count, elementSize, flags, formatCode))
        return false;
    Stored = 0;
    return true;
}

bool GlVertexBuffer::Free() {
    DeleteObjects();
    Stored = 0;
    return MemoryVertexBuffer::Free();
}

void GlVertexBuffer::DeleteObjects() {
    if (Device == nullptr)
        return;
    if (Vao != 0)
        glDeleteVertexArrays(1, &Vao);
    if (Buffer != 0)
        glDeleteBuffers(1, &Buffer);
    Vao = 0;
    Buffer = 0;
}

void GlVertexBuffer::Detach() {
    DeleteObjects();
    Device = nullptr;
}

bool GlVertexBuffer::Upload() {
    return UploadReach(AllocatedCount);
}

// A reach past what the GPU holds sends the whole reach again, at least twice what it held, so that
// a reach growing by a little each frame costs no more than sending the buffer a few times.
bool GlVertexBuffer::UploadReach(int reach) {
    reach = std::min(reach, AllocatedCount);
    if (Device == nullptr || reach <= 0)
        return false;
    if (Buffer == 0) {
        glGenVertexArrays(1, &Vao);
        glGenBuffers(1, &Buffer);
        Stored = 0;
    }
    glBindBuffer(GL_ARRAY_BUFFER, Buffer);
    const auto element = static_cast<std::size_t>(ElementSize);
    if (reach > Stored) {
        Stored = std::max(reach, std::min(2 * Stored, AllocatedCount));
        const std::size_t size = static_cast<std::size_t>(Stored) * element;
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size), Bytes.data(), GL_DYNAMIC_DRAW);
        UploadedBytes += size;
    } else if (const int last = std::min(LastChanged, Stored - 1); FirstChanged <= last) {
        // Changes past what the GPU holds go with the reach that takes them in.
        const std::size_t first = static_cast<std::size_t>(FirstChanged) * element;
        const std::size_t size = static_cast<std::size_t>(last - FirstChanged + 1) * element;
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first), static_cast<GLsizeiptr>(size),
                        Bytes.data() + first);
        UploadedBytes += size;
    }
    ResetChanged();
    return true;
}

bool GlVertexBuffer::DrawIndexed(int primitiveType, int /*vertexCount*/, int primitiveCount) {
    // The vertex count only bounds the indices in the device this contract comes from; here the
    // indices are checked against the buffer's own size instead.
    return Device != nullptr && Device->DrawIndexed(*this, primitiveType, primitiveCount);
}
