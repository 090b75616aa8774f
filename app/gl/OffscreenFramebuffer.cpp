#include "app/gl/OffscreenFramebuffer.h"

#include <epoxy/gl.h>

bool OffscreenFramebuffer::Create(int width, int height, std::string* error) {
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
    Columns = width;
    Rows = height;
    return true;
}

void OffscreenFramebuffer::Delete() {
    glDeleteRenderbuffers(1, &DepthBuffer);
    glDeleteRenderbuffers(1, &ColourBuffer);
    glDeleteFramebuffers(1, &Framebuffer);
    DepthBuffer = ColourBuffer = Framebuffer = 0;
}

bool OffscreenFramebuffer::Resize(int width, int height, std::string* error) {
    if (width == Columns && height == Rows)
        return true;
    const int oldWidth = Columns, oldHeight = Rows;
    Delete();
    if (Create(width, height, error))
        return true;
    Delete();
    std::string ignored;
    Create(oldWidth, oldHeight, &ignored); // keep drawing at the old size
    return false;
}
