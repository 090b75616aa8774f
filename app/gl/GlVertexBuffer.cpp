#include "app/gl/GlVertexBuffer.h"

#include "app/gl/GlRenderer.h"

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
    NeedsFullUpload = true;
    return true;
}

bool GlVertexBuffer::Free() {
    DeleteObjects();
    NeedsFullUpload = false;
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
    if (Device == nullptr || Bytes.empty())
        return false;
    if (Buffer == 0) {
        glGenVertexArrays(1, &Vao);
        glGenBuffers(1, &Buffer);
        NeedsFullUpload = true;
    }
    glBindBuffer(GL_ARRAY_BUFFER, Buffer);
    if (NeedsFullUpload) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Bytes.size()), Bytes.data(), GL_DYNAMIC_DRAW);
        UploadedBytes += Bytes.size();
        NeedsFullUpload = false;
    } else if (FirstChanged <= LastChanged) {
        const std::size_t first =
            static_cast<std::size_t>(FirstChanged) * static_cast<std::size_t>(ElementSize);
        const std::size_t size =
            static_cast<std::size_t>(LastChanged - FirstChanged + 1) * static_cast<std::size_t>(ElementSize);
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
