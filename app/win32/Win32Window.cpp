#include "app/win32/Win32Window.h"

#include "app/win32/WglContext.h"

#include <epoxy/gl.h>
#include <epoxy/wgl.h>

std::unique_ptr<Win32Window> Win32Window::Create(const std::string& title, int /*width*/, int /*height*/,
                                                 std::string* /*error*/) {
    std::unique_ptr<Win32Window> window(new Win32Window());
    window->Title = title;
    return window;
}

Win32Window::~Win32Window() {
    if (Context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(Context);
    }
    if (DeviceContext != nullptr && IsWindow(Handle))
        ReleaseDC(Handle, DeviceContext);
}

bool Win32Window::Attach(HWND handle, std::string* error) {
    Handle = handle;
    SetWindowTextA(Handle, Title.c_str());
    DeviceContext = GetDC(Handle);
    Context = DeviceContext != nullptr ? CreateCoreContext(DeviceContext, error) : nullptr;
    return Context != nullptr;
}

void Win32Window::DrawableSize(int* width, int* height) const {
    RECT client = {};
    GetClientRect(Handle, &client);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
}

// The outer size that gives the client area the frame's size.
bool Win32Window::Resize(int width, int height, std::string* error) {
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, static_cast<DWORD>(GetWindowLongA(Handle, GWL_STYLE)), FALSE);
    if (!SetWindowPos(Handle, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        *error = "the window cannot take that size";
        return false;
    }
    return true;
}

void Win32Window::Present() {
    SwapBuffers(DeviceContext);
}

std::string Win32Window::Description() const {
    int width = 0, height = 0;
    DrawableSize(&width, &height);
    return "window " + std::to_string(width) + "x" + std::to_string(height) + ", " + DescribeContext();
}

bool Win32Window::UsableArea(int* width, int* height) const {
    RECT work = {};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return false;
    RECT borders = {0, 0, 0, 0};
    AdjustWindowRect(&borders, WS_OVERLAPPEDWINDOW, FALSE);
    *width = (work.right - work.left) - (borders.right - borders.left);
    *height = (work.bottom - work.top) - (borders.bottom - borders.top);
    return *width > 0 && *height > 0;
}

void Win32Window::Position(int* x, int* y) const {
    RECT outer = {};
    if (Handle != nullptr && GetWindowRect(Handle, &outer))
        *x = outer.left, *y = outer.top;
}

bool Win32Window::SetVsync(bool on) {
    return epoxy_has_wgl_extension(DeviceContext, "WGL_EXT_swap_control") && wglSwapIntervalEXT(on ? 1 : 0);
}
