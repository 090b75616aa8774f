#pragma once
// The framebuffer object that an offscreen context draws into: a colour and a depth buffer of the
// frame's size. Made and deleted while its context is current.

#include <string>

class OffscreenFramebuffer {
public:
    OffscreenFramebuffer() = default;
    OffscreenFramebuffer(const OffscreenFramebuffer&) = delete;
    OffscreenFramebuffer& operator=(const OffscreenFramebuffer&) = delete;

    // False, with the reason in *error, when the size does not fit this OpenGL.
    bool Create(int width, int height, std::string* error);
    void Delete();
    // A new size; on failure the old one stays, so that drawing goes on.
    bool Resize(int width, int height, std::string* error);

    unsigned Id() const { return Framebuffer; }
    int Width() const { return Columns; }
    int Height() const { return Rows; }

private:
    unsigned Framebuffer = 0;
    unsigned ColourBuffer = 0;
    unsigned DepthBuffer = 0;
    int Columns = 0;
    int Rows = 0;
};
