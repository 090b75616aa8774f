#include "app/win32/Win32OffscreenContext.h"

#include "app/win32/WglContext.h"

#include <epoxy/gl.h>
#include <epoxy/wgl.h>

std::unique_ptr<Win32OffscreenContext> Win32OffscreenContext::Create(int width, int height,
                                                                     std::string* error) {
    std::unique_ptr<Win32OffscreenContext> context(new Win32OffscreenContext());
    // A plain system window class, never shown: WGL needs a window's device context.
    context->Hidden = CreateWindowExA(0, "STATIC", "Veltra offscreen", WS_POPUP, 0, 0, 16, 16, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    if (context->Hidden == nullptr) {
        *error = "no window to make an OpenGL context on";
        return nullptr;
    }
    context->DeviceContext = GetDC(context->Hidden);
    context->Context = CreateCoreContext(context->DeviceContext, error);
    if (context->Context == nullptr || !context->Frame.Create(width, height, error))
        return nullptr;
    return context;
}

bool Win32OffscreenContext::Resize(int width, int height, std::string* error) {
    return Frame.Resize(width, height, error);
}

Win32OffscreenContext::~Win32OffscreenContext() {
    if (Context != nullptr) {
        Frame.Delete();
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(Context);
    }
    if (DeviceContext != nullptr)
        ReleaseDC(Hidden, DeviceContext);
    if (Hidden != nullptr)
        DestroyWindow(Hidden);
}

void Win32OffscreenContext::DrawableSize(int* width, int* height) const {
    *width = Frame.Width();
    *height = Frame.Height();
}

void Win32OffscreenContext::Present() {
    glFlush();
}

std::string Win32OffscreenContext::Description() const {
    return "headless " + std::to_string(Frame.Width()) + "x" + std::to_string(Frame.Height()) + ", " +
           DescribeContext();
}
