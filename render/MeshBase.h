#pragma once

#include "host/Renderer.h"
#include "host/VertexBuffer.h"
#include "render/MeshInterface.h"

#include <cstring>

// A mesh's vertices, kept in one vertex buffer made by the device. V supplies FormatCode; its size
// is the element size. The mesh owns the buffer: Release (and the destructor) frees and deletes it.
template <typename V>
class MeshBase : public MeshInterface {
public:
    ~MeshBase() override { MeshBase::Release(); }

    // False when there is no device or it made no buffer. A second Create replaces the buffer.
    bool Create(Renderer* renderer, int vertexCount) override {
        MeshBase::Release();
        if (renderer == nullptr)
            return false;
        VertexBuffer* buffer = nullptr;
        renderer->CreateVertexBuffer(&buffer);
        if (buffer == nullptr)
            return false;
        Vertices = buffer;
        Vertices->Allocate(vertexCount, static_cast<int>(sizeof(V)), 0, V::FormatCode);
        return true;
    }

    void Release() override {
        if (Vertices == nullptr)
            return;
        Vertices->Free();
        delete Vertices;
        Vertices = nullptr;
    }

    // Appends one vertex after those already added.
    virtual void AddVertex(const V* vertex) {
        if (Vertices != nullptr)
            Vertices->Append(vertex);
    }

    // Copies stored vertex index into out; false (out untouched) when there is none.
    virtual bool GetVertex(int index, V* out) {
        if (Vertices == nullptr || out == nullptr)
            return false;
        const void* stored = Vertices->Get(index);
        if (stored == nullptr)
            return false;
        std::memcpy(out, stored, sizeof(V));
        return true;
    }

    virtual bool SetVertex(int index, const V* vertex) {
        if (Vertices == nullptr)
            return false;
        Vertices->Set(index, vertex);
        return true;
    }

    const VertexBuffer* GetVertexBuffer() const { return Vertices; }
    VertexBuffer* GetVertexBuffer() { return Vertices; }

protected:
    VertexBuffer* Vertices = nullptr; // owned; null until Create
};
