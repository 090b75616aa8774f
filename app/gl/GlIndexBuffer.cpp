#include "app/gl/GlIndexBuffer.h"

#include "app/gl/GlRenderer.h"

#include <algorithm>

GlIndexBuffer::GlIndexBuffer(GlRenderer* device) : Device(device) {
    Device->Attach(this);
}

GlIndexBuffer::~GlIndexBuffer() {
    if (Device != nullptr) {
        DeleteObjects();
        Device->Forget(this);
    }
}

bool GlIndexBuffer::Allocate(int count, int elementSize, int flags) {
    LargestCount = -1;
    return MemoryIndexBuffer::Allocate(count, elementSize, flags);
}

bool GlIndexBuffer::Free() {
    DeleteObjects();
    LargestCount = -1;
    return MemoryIndexBuffer::Free();
}

bool GlIndexBuffer::Append(const void* index16) {
    LargestCount = -1;
    return MemoryIndexBuffer::Append(index16);
}

void GlIndexBuffer::DeleteObjects() {
    if (Device != nullptr && Buffer != 0)
        glDeleteBuffers(1, &Buffer);
    Buffer = 0;
    Changed = true;
}

void GlIndexBuffer::Detach() {
    DeleteObjects();
    Device = nullptr;
}

bool GlIndexBuffer::Upload() {
    if (Device == nullptr || Values.empty())
        return false;
    if (Buffer == 0) {
        glGenBuffers(1, &Buffer);
        Changed = true;
    }
    if (Changed) {
        // Bound outside any vertex array, so that no array keeps this binding by accident.
        glBindVertexArray(0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, Buffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(Values.size() * sizeof(std::uint16_t)),
                     Values.data(), GL_STATIC_DRAW);
        Changed = false;
    }
    return true;
}

bool GlIndexBuffer::Select() {
    if (Device == nullptr)
        return false;
    Device->SelectIndexBuffer(this);
    return true;
}

int GlIndexBuffer::LargestIndex(int count) {
    count = std::clamp(count, 0, static_cast<int>(Values.size()));
    if (count != LargestCount) {
        LargestValue = count == 0 ? 0 : *std::max_element(Values.begin(), Values.begin() + count);
        LargestCount = count;
    }
    return LargestValue;
}
