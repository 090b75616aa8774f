#pragma once
// The window on Windows: the kernel's own window (a real one, whose procedure hands key and mouse
// messages to Window::WindowProc), with an OpenGL 3.3 core context made on it through WGL once the
// host binds the handle. A script's moves and shows reach it through USER32 itself.

#include "app/gl/GlContext.h"
#include "platform/Platform.h"

#include <memory>
#include <string>

class Win32Window final : public GlContext {
public:
    // The context waits for Bind: the kernel's window does not exist yet.
    static std::unique_ptr<Win32Window> Create(const std::string& title, int width, int height,
                                               std::string* error);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Makes the OpenGL context on the kernel's window; false with the reason.
    bool Attach(HWND handle, std::string* error);

    unsigned TargetFramebuffer() const override { return 0; }
    void DrawableSize(int* width, int* height) const override;
    bool Resize(int width, int height, std::string* error) override;
    void Present() override;
    std::string Description() const override;

    bool UsableArea(int* width, int* height) const;
    void Position(int* x, int* y) const;
    bool SetVsync(bool on);

private:
    Win32Window() = default;

    std::string Title;
    HWND Handle = nullptr;
    HDC DeviceContext = nullptr;
    HGLRC Context = nullptr;
};
