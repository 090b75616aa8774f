#include "app/win32/WglContext.h"

#include <epoxy/gl.h>
#include <epoxy/wgl.h>

// libepoxy, linked in statically, keeps its dispatch tables per thread and sets them up in the
// DllMain it has as a DLL, which nothing calls here: the host calls it once, for the one thread
// that draws.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {
void StartEpoxy() {
    static const bool started = DllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr) != FALSE;
    (void)started;
}
} // namespace

HGLRC CreateCoreContext(HDC deviceContext, std::string* error) {
    StartEpoxy();
    PIXELFORMATDESCRIPTOR wanted = {};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 32;
    wanted.cDepthBits = 24;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(deviceContext, &wanted);
    if (format == 0 || !SetPixelFormat(deviceContext, format, &wanted)) {
        *error = "no OpenGL pixel format for the window";
        return nullptr;
    }
    // A legacy context first: only a current context tells where wglCreateContextAttribsARB is.
    HGLRC legacy = wglCreateContext(deviceContext);
    if (legacy == nullptr || !wglMakeCurrent(deviceContext, legacy)) {
        *error = "WGL cannot make an OpenGL context";
        return nullptr;
    }
    if (!epoxy_has_wgl_extension(deviceContext, "WGL_ARB_create_context_profile")) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(legacy);
        *error = "this OpenGL driver makes no core-profile contexts";
        return nullptr;
    }
    const int attributes[] = {
        WGL_CONTEXT_MAJOR_VERSION_ARB,    3, WGL_CONTEXT_MINOR_VERSION_ARB, 3, WGL_CONTEXT_PROFILE_MASK_ARB,
        WGL_CONTEXT_CORE_PROFILE_BIT_ARB, 0};
    HGLRC core = wglCreateContextAttribsARB(deviceContext, nullptr, attributes);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(legacy);
    if (core == nullptr || !wglMakeCurrent(deviceContext, core)) {
        *error = "no OpenGL 3.3 core context for the window";
        return nullptr;
    }
    return core;
}

std::string DescribeContext() {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer != nullptr ? renderer : "?") + ", OpenGL " +
           (version != nullptr ? version : "?");
}
