#pragma once
// A vertex buffer whose contents live in memory (so Get and Set are plain copies) and reach the
// GPU before a draw: as far as the draw's indices reach, the first time and whenever a draw reaches
// further; afterwards only the range Set changed within it. A terrain tile drawn coarse reads only
// its first few vertices: the GPU never holds (nor is sent) the rest.

#include "hostkit/MemoryBuffers.h"

#include <epoxy/gl.h>

class GlRenderer;

class GlVertexBuffer final : public MemoryVertexBuffer {
public:
    explicit GlVertexBuffer(GlRenderer* device);
    ~GlVertexBuffer() override;
    GlVertexBuffer(const GlVertexBuffer&) = delete;
    GlVertexBuffer& operator=(const GlVertexBuffer&) = delete;

    bool Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) override;
    bool Free() override;
    bool Upload() override; // the whole buffer
    // What a draw whose indices reach vertices [0, reach) needs.
    bool UploadReach(int reach);
    bool DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) override;

    // Bytes sent to the GPU so far (full uploads and changed ranges).
    std::size_t UploadedBytes = 0;
    GLuint VertexArray() const { return Vao; }
    GLuint BufferHandle() const { return Buffer; }
    // The renderer is going away: drop the GL objects now, draw nothing afterwards.
    void Detach();

private:
    void DeleteObjects();

    GlRenderer* Device = nullptr;
    GLuint Vao = 0;
    GLuint Buffer = 0;
    int Stored = 0; // the GL buffer holds vertices [0, Stored); 0 when it must be sent afresh
};
