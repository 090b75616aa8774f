#pragma once

#include <cstdint>

// A vertex buffer made by the host's Renderer. The module calls Allocate, Free, Append, Set,
// DrawIndexed and Get and reads AllocatedCount; the other operations are the host's own.
class VertexBuffer {
public:
    std::uint32_t FormatCode = 0; // vertex format given to Allocate
    std::int32_t ElementSize = 0; // bytes per vertex given to Allocate
    std::int32_t AllocatedCount = 0;

    virtual ~VertexBuffer() = default;
    virtual bool Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) = 0;
    virtual bool Free() = 0;
    virtual bool Lock() { return true; }
    virtual bool Unlock() { return true; }
    virtual bool Clear() { return true; }
    virtual bool Append(const void* element) = 0;
    virtual int GetAppendedCount() const { return 0; }
    virtual bool Set(int index, const void* element) = 0;
    virtual bool Upload() { return true; }
    virtual bool Draw(int /*primitiveType*/, int /*primitiveCount*/) { return true; }
    virtual bool MarkChanged(int /*first*/, int /*count*/) { return true; }
    virtual bool DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) = 0;
    virtual void* Get(int index) = 0; // null when index is out of range
};
