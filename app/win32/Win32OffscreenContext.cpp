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
    if (context->Context == nullptr || !context->CreateFramebuffer(width, height, error))
        return nullptr;
    return context;
}

bool Win32OffscreenContext::CreateFramebuffer(int width, int height, std::string* error) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width < 1 || height < 1 || width > largest || height > largest) {
        *error = "a " + std::to_string(width) + "x" + std::to_string(height) +
                 " frame does not fit this OpenGL (largest side " + std::to_string(largest) + ")";
        return false;
    }
    glGenFramebuffers(1, &Framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
    glGenRenderbuffers(1, &ColourBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, ColourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, ColourBuffer);
    glGenRenderbuffers(1, &DepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, DepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, DepthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        *error = "the offscreen framebuffer is incomplete";
        return false;
    }
    Width = width;
    Height = height;
    return true;
}

void Win32OffscreenContext::DeleteFramebuffer() {
    glDeleteRenderbuffers(1, &DepthBuffer);
    glDeleteRenderbuffers(1, &ColourBuffer);
    glDeleteFramebuffers(1, &Framebuffer);
    DepthBuffer = ColourBuffer = Framebuffer = 0;
}

bool Win32OffscreenContext::Resize(int width, int height, std::string* error) {
    if (width == Width && height == Height)
        return true;
    const int oldWidth = Width, oldHeight = Height;
    DeleteFramebuffer();
    if (CreateFramebuffer(width, height, error))
        return true;
    DeleteFramebuffer();
    std::string ignored;
    CreateFramebuffer(oldWidth, oldHeight, &ignored); // keep drawing at the old size
    return false;
}

Win32OffscreenContext::~Win32OffscreenContext() {
    if (Context != nullptr) {
        DeleteFramebuffer();
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(Context);
    }
    if (DeviceContext != nullptr)
        ReleaseDC(Hidden, DeviceContext);
    if (Hidden != nullptr)
        DestroyWindow(Hidden);
}

void Win32OffscreenContext::DrawableSize(int* width, int* height) const {
    *width = Width;
    *height = Height;
}

void Win32OffscreenContext::Present() {
    glFlush();
}

std::string Win32OffscreenContext::Description() const {
    return "headless " + std::to_string(Width) + "x" + std::to_string(Height) + ", " + DescribeContext();
}
