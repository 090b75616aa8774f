#pragma once
// The host's rendering device on OpenGL 3.3 core. It draws into whatever context it is given (a
// window or an offscreen framebuffer); the buffers it makes keep their contents in memory and
// upload what changed before each draw. Textures are Windows bitmaps, found by an AssetLocator.

#include "app/AssetLocator.h"
#include "app/gl/GlContext.h"
#include "app/gl/ShaderProgram.h"
#include "app/gl/ViewCamera.h"
#include "app/image/Image.h"
#include "host/Renderer.h"

#include <epoxy/gl.h>

#include <functional>
#include <map>
#include <set>
#include <string>

class GlVertexBuffer;
class GlIndexBuffer;

class GlRenderer final : public Renderer {
public:
    // The context must be current and outlive the renderer.
    GlRenderer(GlContext& context, AssetLocator assets);
    ~GlRenderer() override;
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    // Builds the shader program and sets the fixed state; false with Error() telling why.
    bool Startup(int width, int height) override;
    bool BeginScene(int flags) override;
    bool EndScene(int flags) override;
    bool SaveScreenshot(const char* fileName) override;
    std::uint32_t LoadTexture(const char* fileName) override;
    bool SetTexture(std::uint32_t texture, int stage) override;
    bool ReleaseTexture(std::uint32_t texture) override;
    bool CreateVertexBuffer(VertexBuffer** out) override;
    bool CreateIndexBuffer(IndexBuffer** out) override;
    bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) override;

    // Set before a frame to keep its pixels: EndScene reads them back before showing the frame.
    bool CaptureNextFrame = false;
    const Image& CapturedFrame() const { return Captured; }

    // Problems worth telling a person (a texture that did not load); stderr unless replaced.
    std::function<void(const std::string&)> Report;
    const std::string& Error() const { return LastError; }
    const ViewCamera& Camera() const { return View; }
    int DrawCalls = 0; // draws issued since Startup

    // For the buffers.
    void Attach(GlVertexBuffer* buffer) { VertexBuffers.insert(buffer); }
    void Attach(GlIndexBuffer* buffer) { IndexBuffers.insert(buffer); }
    void Forget(GlVertexBuffer* buffer) { VertexBuffers.erase(buffer); }
    void Forget(GlIndexBuffer* buffer);
    void SelectIndexBuffer(GlIndexBuffer* buffer) { SelectedIndices = buffer; }
    bool DrawIndexed(GlVertexBuffer& vertices, int primitiveType, int primitiveCount);

private:
    bool BindVertexFormat(GlVertexBuffer& vertices);
    void Capture();

    GlContext& Context;
    AssetLocator Assets;
    ShaderProgram Program;
    ViewCamera View;
    std::string LastError;
    Image Captured;
    int ViewportWidth = 1;
    int ViewportHeight = 1;
    std::map<std::uint32_t, GLuint> Textures; // handle -> texture object
    std::uint32_t NextTexture = 1;
    std::uint32_t BoundTexture = 0;
    GlIndexBuffer* SelectedIndices = nullptr;
    static constexpr long long FlushTriangles = 10000;
    long long TrianglesUnflushed = 0; // drawn since the last flush
    std::set<GlVertexBuffer*> VertexBuffers;
    std::set<GlIndexBuffer*> IndexBuffers;
};
