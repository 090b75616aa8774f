#pragma once
// A real window: an SDL2 window with an OpenGL 3.3 core context, drawn into by the renderer, and
// the window system behind the platform's window handle, so that a script's MoveWindow,
// PlaceWindow and ShowWindow move and show it. Its size is the host's to choose (Resize): a
// script's ResizeWindow reaches it only through the host's size rule.

#include "app/gl/GlContext.h"
#include "app/sdl/SdlInput.h"
#include "platform/Platform.h"

#include <SDL.h>

#include <memory>
#include <string>

class SdlWindow final : public GlContext, public veltra::platform::WindowBackend {
public:
    // A shown window of the given client size with its context current, or null with the reason:
    // also when SDL finds no display server (x11 or wayland) and would fall back to drawing
    // nowhere.
    static std::unique_ptr<SdlWindow> Create(const std::string& title, int width, int height,
                                             std::string* error);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // The platform window handle whose moves and shows act on this window, and whose queue gets
    // this window's input; always true.
    bool Attach(HWND handle, std::string* error);

    unsigned TargetFramebuffer() const override { return 0; }
    void DrawableSize(int* width, int* height) const override;
    bool Resize(int width, int height, std::string* error) override;
    void Present() override;
    std::string Description() const override;

    void Move(HWND hwnd, int x, int y, int width, int height) override;
    void Show(HWND hwnd, bool visible) override;

    // The largest client size that fits the usable area of the window's screen, its borders taken
    // off; false when the screen does not say.
    bool UsableArea(int* width, int* height) const;
    // Where the window stands on the screen.
    void Position(int* x, int* y) const;
    // Waits for the display between frames (vsync); false when the driver cannot.
    bool SetVsync(bool on);

    SDL_Window* Native() const { return Window; }

private:
    SdlWindow() = default;

    SDL_Window* Window = nullptr;
    SDL_GLContext Context = nullptr;
    HWND Bound = nullptr;
    std::unique_ptr<SdlInput> Input;
};
