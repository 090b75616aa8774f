#include "app/gl/EglHeadlessContext.h"

#include <cstdio>

namespace {

std::string EglErrorText(const char* step) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(step) + " failed (EGL error " + code + ")";
}

} // namespace

std::unique_ptr<EglHeadlessContext> EglHeadlessContext::Create(int width, int height, std::string* error) {
    std::string ignored;
    std::string& message = error != nullptr ? *error : ignored;
    if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
        message = "EGL has no surfaceless platform (Mesa's EGL, Debian package libegl-mesa0, provides it)";
        return nullptr;
    }
    std::unique_ptr<EglHeadlessContext> context(new EglHeadlessContext());
    context->Display = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (context->Display == EGL_NO_DISPLAY) {
        message = EglErrorText("eglGetPlatformDisplayEXT");
        return nullptr;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(context->Display, &major, &minor)) {
        message = EglErrorText("eglInitialize");
        context->Display = EGL_NO_DISPLAY;
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        message = EglErrorText("eglBindAPI(OpenGL)");
        return nullptr;
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_NONE};
    // No config: nothing is drawn to an EGL surface, only to the framebuffer object.
    context->Context = eglCreateContext(context->Display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context->Context == EGL_NO_CONTEXT) {
        message = EglErrorText("eglCreateContext(OpenGL 3.3 core)");
        return nullptr;
    }
    if (!eglMakeCurrent(context->Display, EGL_NO_SURFACE, EGL_NO_SURFACE, context->Context)) {
        message = EglErrorText("eglMakeCurrent");
        return nullptr;
    }
    if (!context->CreateFramebuffer(width, height, &message))
        return nullptr;
    return context;
}

bool EglHeadlessContext::CreateFramebuffer(int width, int height, std::string* error) {
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

void EglHeadlessContext::DeleteFramebuffer() {
    glDeleteRenderbuffers(1, &DepthBuffer);
    glDeleteRenderbuffers(1, &ColourBuffer);
    glDeleteFramebuffers(1, &Framebuffer);
    DepthBuffer = ColourBuffer = Framebuffer = 0;
}

bool EglHeadlessContext::Resize(int width, int height, std::string* error) {
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

EglHeadlessContext::~EglHeadlessContext() {
    if (Context != EGL_NO_CONTEXT) {
        DeleteFramebuffer();
        eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(Display, Context);
    }
    // The display stays initialised: it is the process's one surfaceless display, the next
    // context reuses it, and terminating it unloads the driver with allocations still in use.
}

void EglHeadlessContext::DrawableSize(int* width, int* height) const {
    *width = Width;
    *height = Height;
}

void EglHeadlessContext::Present() {
    glFlush();
}

std::string EglHeadlessContext::Description() const {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return "headless " + std::to_string(Width) + "x" + std::to_string(Height) + ", " +
           (renderer != nullptr ? renderer : "?") + ", OpenGL " + (version != nullptr ? version : "?");
}
