#pragma once

#include "platform/Platform.h"

#include <cstdint>

class KeyboardListenerList;
class MouseListenerList;

// The application window as the module sees it. The move/show operations keep the members in
// step with what they asked of the system; nothing reads the real window back.
class Window {
public:
    HWND Handle = nullptr;
    void* Owner = nullptr;       // the host object that made the window, if any
    std::uint32_t HostFlags = 0; // free for the host's own use
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool Visible = false;
    KeyboardListenerList* KeyboardListeners = nullptr;
    MouseListenerList* MouseListeners = nullptr;

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    // Broadcasts key and mouse-move messages to the lists, then hands every message to the
    // system's default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Handles at most one waiting message and never waits; true while the window exists.
    virtual bool PumpMessages();

    bool MoveWindow(std::int32_t dx, std::int32_t dy);
    bool PlaceWindow(std::int32_t x, std::int32_t y);
    bool ResizeWindow(std::int32_t width, std::int32_t height);
    bool ShowWindow(bool show);
    bool HideWindow();

    // Makes a system window handle whose messages reach this object's WindowProc. When the
    // window goes away (a WM_CLOSE left to the default processing), Handle becomes null.
    HWND CreateHandle();

private:
    bool ApplyPlacement();
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
