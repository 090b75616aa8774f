#include "render/BoxMesh.h"

#include "render/BoxVertex.h"
#include "render/TriangleListMesh.h"

#include <cstdint>
#include <memory>

namespace {
// The face y = +1, then y = -1, each through the corners (x, z) = (0,0), (1,0), (1,1), (0,1).
const BoxVertex Corners[8] = {
    {0.0f, 1.0f, 0.0f, 0.0f, 0.0f},  {1.0f, 1.0f, 0.0f, 0.0f, 1.0f},  {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {0.0f, 1.0f, 1.0f, 1.0f, 1.0f},  {0.0f, -1.0f, 0.0f, 0.0f, 0.0f}, {1.0f, -1.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, -1.0f, 1.0f, 1.0f, 0.0f}, {0.0f, -1.0f, 1.0f, 1.0f, 1.0f},
};

// Two triangles per face: y = +1, z = 0, x = 1, y = -1, z = 1, x = 0.
const std::uint16_t Triangles[36] = {
    0, 1, 2, 0, 2, 3, 0, 1, 5, 0, 5, 4, 1, 2, 6, 1, 6, 5,
    4, 5, 6, 4, 6, 7, 2, 6, 7, 2, 7, 3, 3, 7, 4, 3, 4, 0,
};
} // namespace

BoxMesh::BoxMesh(Renderer* device, float scale, std::int32_t option0, std::int32_t option1,
                 std::int32_t option2)
    : MeshObject(device), Scale(scale), Options{option0, option1, option2} {
    auto mesh = std::make_unique<TriangleListMesh<BoxVertex>>();
    mesh->Create(device, 8, 36);
    for (const BoxVertex& corner : Corners)
        mesh->AddVertex(&corner);
    for (std::uint16_t index : Triangles)
        mesh->AddIndex(index);
    Mesh = std::move(mesh);
}
