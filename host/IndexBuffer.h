#pragma once

#include <cstdint>

// A 16-bit index buffer made by the host's Renderer. The module calls Allocate, Free, Append, Get
// and Select and reads AppendedCount and AllocatedCount; the other operations are the host's own.
class IndexBuffer {
public:
    std::int32_t ElementSize = 0; // bytes per index given to Allocate
    std::int32_t AppendedCount = 0;
    std::int32_t AllocatedCount = 0;

    virtual ~IndexBuffer() = default;
    virtual bool Allocate(int count, int elementSize, int flags) = 0;
    virtual bool Free() = 0;
    virtual bool Lock() { return true; }
    virtual bool Unlock() { return true; }
    virtual bool Clear() { return true; }
    virtual bool Append(const void* index16) = 0;
    virtual bool Set(int /*position*/, const void* /*index16*/) { return true; }
    virtual bool Upload() { return true; }
    virtual std::uint16_t Get(int position) = 0;
    virtual bool Select() = 0;
};
