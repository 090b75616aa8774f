#pragma once
// A 16-bit index buffer kept in memory and sent whole to the GPU before a draw after any change.

#include "hostkit/MemoryBuffers.h"

#include <epoxy/gl.h>

class GlRenderer;

class GlIndexBuffer final : public MemoryIndexBuffer {
public:
    explicit GlIndexBuffer(GlRenderer* device);
    ~GlIndexBuffer() override;
    GlIndexBuffer(const GlIndexBuffer&) = delete;
    GlIndexBuffer& operator=(const GlIndexBuffer&) = delete;

    bool Allocate(int count, int elementSize, int flags) override;
    bool Free() override;
    bool Append(const void* index16) override;
    bool Upload() override;
    bool Select() override;

    GLuint Handle() const { return Buffer; }
    // The largest of the first count indices, so a draw never reads past its vertices.
    int LargestIndex(int count);
    void Detach();

private:
    void DeleteObjects();

    GlRenderer* Device = nullptr;
    GLuint Buffer = 0;
    int LargestCount = -1; // count LargestValue was found for; -1 when stale
    int LargestValue = 0;
};
