#pragma once

#include "render/IndexedMeshBase.h"

// An indexed mesh that knows no primitive: Draw only says whether both buffers exist.
template <typename V>
class IndexedMesh : public IndexedMeshBase<V> {
public:
    ~IndexedMesh() override { IndexedMeshBase<V>::Release(); }

    bool Draw() override { return this->Vertices != nullptr && this->Indices != nullptr; }
};
