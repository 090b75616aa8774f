#pragma once
// The tests' strict host double for fuzzing, its call record off: a contract breach stops the run
// (FuzzContractBreach.cpp). It makes buffers as a host may, or none, or ones that refuse to allocate,
// and stops the run when scenes nest or a view that is not a number reaches it.

#include "support/RecordingRenderer.h"

#include <cstdint>

enum class BufferKind : std::uint8_t {
    Kept,       // buffers keep what they are given
    Refused,    // CreateVertexBuffer and CreateIndexBuffer make nothing
    Unallocated // buffers are made, but every Allocate fails
};
inline constexpr int BufferKindCount = 3;

class FuzzRenderer : public RecordingRenderer {
public:
    explicit FuzzRenderer(BufferKind kind = BufferKind::Kept);

    bool BeginScene(int flags) override;
    bool EndScene(int flags) override;
    bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) override;

    BufferKind Kind;
    bool InScene = false;
};
