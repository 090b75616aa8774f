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
    if (!context->Frame.Create(width, height, &message))
        return nullptr;
    return context;
}

bool EglHeadlessContext::Resize(int width, int height, std::string* error) {
    return Frame.Resize(width, height, error);
}

EglHeadlessContext::~EglHeadlessContext() {
    if (Context != EGL_NO_CONTEXT) {
        Frame.Delete();
        eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(Display, Context);
    }
    // The display stays initialised: it is the process's one surfaceless display, the next
    // context reuses it, and terminating it unloads the driver with allocations still in use.
}

void EglHeadlessContext::DrawableSize(int* width, int* height) const {
    *width = Frame.Width();
    *height = Frame.Height();
}

void EglHeadlessContext::Present() {
    glFlush();
}

std::string EglHeadlessContext::Description() const {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return "headless " + std::to_string(Frame.Width()) + "x" + std::to_string(Frame.Height()) + ", " +
           (renderer != nullptr ? renderer : "?") + ", OpenGL " + (version != nullptr ? version : "?");
}
