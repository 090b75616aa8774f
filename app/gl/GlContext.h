#pragma once
// Where the renderer draws: a window's OpenGL context or an offscreen one. The renderer's code is
// the same for both; only this seam differs.

#include <string>

class GlContext {
public:
    virtual ~GlContext() = default;
    // The framebuffer object drawn into; 0 is the window's own.
    virtual unsigned TargetFramebuffer() const = 0;
    virtual void DrawableSize(int* width, int* height) const = 0;
    // Gives the frames a new size (sides 1 or more); false with the reason.
    virtual bool Resize(int width, int height, std::string* error) = 0;
    // Shows the finished frame.
    virtual void Present() = 0;
    // A line for the log: what draws, and where.
    virtual std::string Description() const = 0;
};
