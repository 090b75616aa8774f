#include "host/Window.h"

#include "host/KeyboardListenerList.h"
#include "host/MouseListenerList.h"

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (KeyboardListeners != nullptr)
            KeyboardListeners->OnKeyDown(static_cast<std::uint32_t>(wParam));
        break;
    case WM_KEYUP:
        if (KeyboardListeners != nullptr)
            KeyboardListeners->OnKeyUp(static_cast<std::uint32_t>(wParam));
        break;
    case WM_MOUSEMOVE:
        if (MouseListeners != nullptr)
            MouseListeners->OnMouseMove(LOWORD(lParam), HIWORD(lParam));
        break;
    default:
        break;
    }
    return DefWindowProcA(Handle, message, wParam, lParam);
}

bool Window::PumpMessages() {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        GetMessageA(&msg, nullptr, 0, 0);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return Handle != nullptr;
}

bool Window::ApplyPlacement() {
    ::MoveWindow(Handle, X, Y, Width, Height, TRUE);
    return true;
}

bool Window::MoveWindow(std::int32_t dx, std::int32_t dy) {
    // Wrapping arithmetic: a script may pass any int.
    X = static_cast<std::int32_t>(static_cast<std::uint32_t>(X) + static_cast<std::uint32_t>(dx));
    Y = static_cast<std::int32_t>(static_cast<std::uint32_t>(Y) + static_cast<std::uint32_t>(dy));
    return ApplyPlacement();
}

bool Window::PlaceWindow(std::int32_t x, std::int32_t y) {
    X = x;
    Y = y;
    return ApplyPlacement();
}

bool Window::ResizeWindow(std::int32_t width, std::int32_t height) {
    Width = width;
    Height = height;
    return ApplyPlacement();
}

bool Window::ShowWindow(bool show) {
    Visible = show;
    ::ShowWindow(Handle, show ? SW_SHOW : SW_HIDE);
    return true;
}

bool Window::HideWindow() {
    return ShowWindow(false);
}

HWND Window::CreateHandle() {
    Handle = CreateWindowHandle(&Window::StaticWindowProc, this);
    return Handle;
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = static_cast<Window*>(GetWindowUserData(hwnd));
    if (window == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY) {
        window->Handle = nullptr;
        return 0;
    }
    return window->WindowProc(message, wParam, lParam);
}
