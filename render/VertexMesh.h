#pragma once

#include "render/MeshBase.h"

// A mesh of vertices only: it draws through index buffers that it shares with other meshes of its
// shape (a tiled terrain's levels of detail), so it cannot draw on its own.
template <typename V>
class VertexMesh final : public MeshBase<V> {
public:
    bool Draw() override { return false; }
};
