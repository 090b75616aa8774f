#pragma once

#include "host/IndexBuffer.h"
#include "render/MeshBase.h"

#include <cstdint>

// Adds a 16-bit index buffer, owned like the vertex buffer. An indexed mesh is always created with
// both counts: the vertex-only Create refuses.
template <typename V>
class IndexedMeshBase : public MeshBase<V> {
public:
    ~IndexedMeshBase() override { IndexedMeshBase::Release(); }

    bool Create(Renderer* /*renderer*/, int /*vertexCount*/) override { return false; }

    // Frees the index buffer only; the vertex buffer goes with the base level.
    void Release() override {
        if (Indices == nullptr)
            return;
        Indices->Free();
        delete Indices;
        Indices = nullptr;
    }

    // False when there is no device or it made either buffer. A second Create replaces both.
    virtual bool Create(Renderer* renderer, int vertexCount, int indexCount) {
        IndexedMeshBase::Release();
        if (!MeshBase<V>::Create(renderer, vertexCount))
            return false;
        IndexBuffer* buffer = nullptr;
        renderer->CreateIndexBuffer(&buffer);
        if (buffer == nullptr)
            return false;
        Indices = buffer;
        Indices->Allocate(indexCount, 2, 0);
        return true;
    }

    // Appends one index after those already added.
    virtual void AddIndex(std::uint16_t index) {
        if (Indices != nullptr)
            Indices->Append(&index);
    }

    const IndexBuffer* GetIndexBuffer() const { return Indices; }

protected:
    IndexBuffer* Indices = nullptr; // owned; null until Create
};
