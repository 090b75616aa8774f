#pragma once
// A real window: an SDL2 window with an OpenGL 3.3 core context, drawn into by the renderer, and
// the window system behind the platform's window handle, so that a script's MoveWindow,
// ResizeWindow and ShowWindow move, size and show it.

#include "app/gl/GlContext.h"
#include "platform/Platform.h"

#include <SDL.h>

#include <memory>
#include <string>

class SdlWindow final : public GlContext, public veltra::platform::WindowBackend {
public:
    static constexpr int MaxSide = 16384; // sizes a script asks for are clamped to 1..MaxSide

    // A shown window of the given client size with its context current, or null with the reason.
    static std::unique_ptr<SdlWindow> Create(const std::string& title, int width, int height,
                                             std::string* error);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // The platform window handle whose moves and shows act on this window.
    void Bind(HWND handle) { Bound = handle; }

    unsigned TargetFramebuffer() const override { return 0; }
    void DrawableSize(int* width, int* height) const override;
    void Present() override;
    std::string Description() const override;

    void Move(HWND hwnd, int x, int y, int width, int height) override;
    void Show(HWND hwnd, bool visible) override;

    SDL_Window* Native() const { return Window; }

private:
    SdlWindow() = default;

    SDL_Window* Window = nullptr;
    SDL_GLContext Context = nullptr;
    HWND Bound = nullptr;
};
