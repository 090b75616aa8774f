#include "app/sdl/SdlWindow.h"

#include <epoxy/gl.h>

#include <cstdlib>

std::unique_ptr<SdlWindow> SdlWindow::Create(const std::string& title, int width, int height,
                                             std::string* error) {
    std::string ignored;
    std::string& message = error != nullptr ? *error : ignored;
    // Only the display servers the environment names: probing for others only prints noise.
    if (std::getenv("SDL_VIDEODRIVER") == nullptr) {
        const bool x11 = std::getenv("DISPLAY") != nullptr && *std::getenv("DISPLAY") != '\0';
        const bool wayland =
            std::getenv("WAYLAND_DISPLAY") != nullptr && *std::getenv("WAYLAND_DISPLAY") != '\0';
        if (x11 != wayland)
            SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 ? "x11" : "wayland");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        message = std::string("SDL cannot start its video: ") + SDL_GetError();
        return nullptr;
    }
    // Only a driver that talks to a display server shows a window; SDL would otherwise settle for
    // one that draws offscreen, where no one sees the window or can close it.
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "none";
    if (driver != "x11" && driver != "wayland") {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        message = "no display server to open a window on (SDL's video driver: " + driver + ")";
        return nullptr;
    }
    std::unique_ptr<SdlWindow> window(new SdlWindow());
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window->Window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                      height, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
    if (window->Window == nullptr) {
        message = std::string("SDL cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    window->Context = SDL_GL_CreateContext(window->Window);
    if (window->Context == nullptr) {
        message = std::string("no OpenGL 3.3 core context for the window: ") + SDL_GetError();
        return nullptr;
    }
    return window;
}

bool SdlWindow::Attach(HWND handle, std::string* /*error*/) {
    Bound = handle;
    Input = std::make_unique<SdlInput>(handle);
    veltra::platform::SetWindowBackend(this);
    veltra::platform::SetInputSource(Input.get());
    return true;
}

SdlWindow::~SdlWindow() {
    // The platform's hooks point at this window and its input, about to go.
    veltra::platform::SetInputSource(nullptr);
    veltra::platform::SetWindowBackend(nullptr);
    if (Context != nullptr)
        SDL_GL_DeleteContext(Context);
    if (Window != nullptr)
        SDL_DestroyWindow(Window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlWindow::DrawableSize(int* width, int* height) const {
    SDL_GL_GetDrawableSize(Window, width, height);
}

void SdlWindow::Present() {
    SDL_GL_SwapWindow(Window);
}

std::string SdlWindow::Description() const {
    int width = 0, height = 0;
    DrawableSize(&width, &height);
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string("window (") + SDL_GetCurrentVideoDriver() + ") " + std::to_string(width) + "x" +
           std::to_string(height) + ", " + (renderer != nullptr ? renderer : "?") + ", OpenGL " +
           (version != nullptr ? version : "?");
}

void SdlWindow::Move(HWND hwnd, int x, int y, int /*width*/, int /*height*/) {
    if (hwnd == Bound)
        SDL_SetWindowPosition(Window, x, y);
}

bool SdlWindow::Resize(int width, int height, std::string* /*error*/) {
    SDL_SetWindowSize(Window, width, height);
    return true;
}

bool SdlWindow::UsableArea(int* width, int* height) const {
    SDL_Rect usable{};
    const int display = SDL_GetWindowDisplayIndex(Window);
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0)
        return false;
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(Window, &top, &left, &bottom, &right); // left at 0 where unknown
    *width = usable.w - left - right;
    *height = usable.h - top - bottom;
    return *width > 0 && *height > 0;
}

void SdlWindow::Position(int* x, int* y) const {
    SDL_GetWindowPosition(Window, x, y);
}

bool SdlWindow::SetVsync(bool on) {
    return SDL_GL_SetSwapInterval(on ? 1 : 0) == 0;
}

void SdlWindow::Show(HWND hwnd, bool visible) {
    if (hwnd != Bound)
        return;
    if (visible)
        SDL_ShowWindow(Window);
    else
        SDL_HideWindow(Window);
}
