#pragma once

#include "host/Renderer.h"
#include "hostkit/MemoryBuffers.h"

// Keeps what the engine gives it and draws nothing.
class NullRenderer : public Renderer {
public:
    bool BeginScene(int /*flags*/) override { return true; }
    bool EndScene(int /*flags*/) override {
        ++FrameCount;
        return true;
    }
    std::uint32_t LoadTexture(const char* /*fileName*/) override { return 0; }
    bool SetTexture(std::uint32_t /*texture*/, int /*stage*/) override { return true; }
    bool CreateVertexBuffer(VertexBuffer** out) override {
        *out = new MemoryVertexBuffer();
        return true;
    }
    bool CreateIndexBuffer(IndexBuffer** out) override {
        *out = new MemoryIndexBuffer();
        return true;
    }
    bool SetCamera(float, float, float, float, float, float) override { return true; }
};
