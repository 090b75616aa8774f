#pragma once

#include "render/IndexedMesh.h"

// Draws its indices as separate triangles, three indices each.
template <typename V>
class TriangleListMesh : public IndexedMesh<V> {
public:
    static constexpr int PrimitiveType = 4;

    bool Draw() override {
        if (this->Vertices == nullptr || this->Indices == nullptr)
            return false;
        this->Indices->Select();
        this->Vertices->DrawIndexed(PrimitiveType, this->Vertices->AllocatedCount,
                                    this->Indices->AllocatedCount / 3);
        return true;
    }
};
