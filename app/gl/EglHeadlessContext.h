#pragma once
// An OpenGL 3.3 core context without any window system: EGL's surfaceless platform on Mesa, which
// renders in software when there is no GPU. Frames go into a framebuffer object of a fixed size.

#include "app/gl/GlContext.h"
#include "app/gl/OffscreenFramebuffer.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <memory>
#include <string>

class EglHeadlessContext final : public GlContext {
public:
    // A current context with a width x height framebuffer, or null with the reason in *error.
    static std::unique_ptr<EglHeadlessContext> Create(int width, int height, std::string* error);
    ~EglHeadlessContext() override;
    EglHeadlessContext(const EglHeadlessContext&) = delete;
    EglHeadlessContext& operator=(const EglHeadlessContext&) = delete;

    unsigned TargetFramebuffer() const override { return Frame.Id(); }
    void DrawableSize(int* width, int* height) const override;
    bool Resize(int width, int height, std::string* error) override;
    void Present() override;
    std::string Description() const override;

private:
    EglHeadlessContext() = default;

    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLContext Context = EGL_NO_CONTEXT;
    OffscreenFramebuffer Frame;
};
