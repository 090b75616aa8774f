#pragma once
// Offscreen frames on Windows: a window that is never shown, with an OpenGL 3.3 core context made
// on it through WGL, drawing into a framebuffer object of the frame's size.

#include "app/gl/GlContext.h"
#include "app/gl/OffscreenFramebuffer.h"
#include "platform/Platform.h"

#include <memory>
#include <string>

class Win32OffscreenContext final : public GlContext {
public:
    // A current context with a width x height framebuffer, or null with the reason in *error.
    static std::unique_ptr<Win32OffscreenContext> Create(int width, int height, std::string* error);
    ~Win32OffscreenContext() override;
    Win32OffscreenContext(const Win32OffscreenContext&) = delete;
    Win32OffscreenContext& operator=(const Win32OffscreenContext&) = delete;

    unsigned TargetFramebuffer() const override { return Frame.Id(); }
    void DrawableSize(int* width, int* height) const override;
    bool Resize(int width, int height, std::string* error) override;
    void Present() override;
    std::string Description() const override;

private:
    Win32OffscreenContext() = default;

    HWND Hidden = nullptr;
    HDC DeviceContext = nullptr;
    HGLRC Context = nullptr;
    OffscreenFramebuffer Frame;
};
