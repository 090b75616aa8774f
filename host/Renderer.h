#pragma once

#include "host/IndexBuffer.h"
#include "host/VertexBuffer.h"

#include <cstdint>

// The host's rendering device. The module calls BeginScene, EndScene, LoadTexture, SetTexture,
// CreateVertexBuffer, CreateIndexBuffer and SetCamera, and sets the clear colour; the other
// operations are the host's own, with bodies that do nothing so a host overrides only what it needs.
class Renderer {
public:
    std::uint32_t FrameCount = 0; // frames ended so far, kept by the host
    std::uint32_t ClearColor = 0; // ARGB; the colour each frame is cleared with

    virtual ~Renderer() = default;
    virtual bool Startup(int /*width*/, int /*height*/) { return true; }
    virtual bool Shutdown() { return true; }
    virtual bool Resize(int /*width*/, int /*height*/) { return true; }
    virtual bool BeginScene(int flags) = 0;
    virtual bool Clear() { return true; }
    virtual bool EndScene(int flags) = 0;
    virtual bool Present() { return true; }
    virtual bool SaveScreenshot(const char* /*fileName*/) { return false; }
    virtual std::uint32_t LoadTexture(const char* fileName) = 0; // 0 = none
    virtual bool SetTexture(std::uint32_t texture, int stage) = 0;
    virtual bool ReleaseTexture(std::uint32_t /*texture*/) { return true; }
    virtual bool SetViewport(int /*x*/, int /*y*/, int /*width*/, int /*height*/) { return true; }
    virtual bool CreateVertexBuffer(VertexBuffer** out) = 0;
    virtual bool CreateIndexBuffer(IndexBuffer** out) = 0;
    virtual bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) = 0;

    void SetClearColor(std::uint32_t argb) { ClearColor = argb; }
};
