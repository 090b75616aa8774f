#pragma once
// A device for fuzzing that draws nothing. Its buffers keep their contents in memory, in one of
// the ways a host may: as one array, in an order of their own (so that the mesh cannot treat the
// storage as one array of vertices), or not at all (a host that cannot make buffers).

#include "host/Renderer.h"
#include "hostkit/MemoryBuffers.h"

#include <cstdint>
#include <vector>

enum class BufferKind : std::uint8_t {
    Contiguous, // vertex i at element i
    Reversed,   // vertex i at element count - 1 - i
    Refused,    // CreateVertexBuffer and CreateIndexBuffer make nothing
    Unallocated // buffers are made, but every Allocate fails
};
inline constexpr int BufferKindCount = 4;

// Elements stored back to front: Get still finds each one, but not as one array.
class ReversedVertexBuffer : public MemoryVertexBuffer {
public:
    bool Set(int index, const void* element) override;
    void* Get(int index) override;
};

// Refuses every allocation, like a host out of memory.
class UnallocatedVertexBuffer : public MemoryVertexBuffer {
public:
    bool Allocate(int, int, int, std::uint32_t) override { return false; }
};
class UnallocatedIndexBuffer : public MemoryIndexBuffer {
public:
    bool Allocate(int, int, int) override { return false; }
};

class FuzzRenderer : public Renderer {
public:
    explicit FuzzRenderer(BufferKind kind = BufferKind::Contiguous) : Kind(kind) {}

    bool BeginScene(int /*flags*/) override;
    bool EndScene(int /*flags*/) override;
    std::uint32_t LoadTexture(const char* /*fileName*/) override { return 0; }
    bool SetTexture(std::uint32_t /*texture*/, int /*stage*/) override { return true; }
    bool CreateVertexBuffer(VertexBuffer** out) override;
    bool CreateIndexBuffer(IndexBuffer** out) override;
    bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) override;

    BufferKind Kind;
    bool InScene = false;
    int Cameras = 0;
};
