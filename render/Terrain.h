#pragma once

#include "render/TerrainVertex.h"
#include "render/TriangleStripMesh.h"

#include <cstdint>
#include <memory>

class Heightmap;
class Renderer;

// The heightmap as one textured triangle strip over 1000 x 1000 world units centred on the origin.
// Vertex n = row * GridWidth + column; the row number grows with world x, the column with world z.
class Terrain {
public:
    using StripMesh = TriangleStripMesh<TerrainVertex>;

    std::unique_ptr<StripMesh> Mesh; // null before Build
    std::uint32_t Texture = 0;       // device handle, not owned; 0 = none
    std::int32_t GridWidth = 0;      // columns; 0 before Build
    std::int32_t GridHeight = 0;     // rows; 0 before Build
    float ExtentX = 1000.0f;
    float ExtentZ = 1000.0f;

    // Largest grid whose every vertex a 16-bit index reaches.
    static constexpr std::int32_t MaxVertices = 65536;

    Terrain() = default;
    virtual ~Terrain();
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    virtual void Render(Renderer* renderer);

    // Vertices, one strip and the normals from the heightmap. Refused (the terrain is left as it
    // was) without a device or heightmap, or for a grid under 2 x 2 or over MaxVertices.
    void Build(Renderer* renderer, const Heightmap* heightmap);
    // Replaces the mesh by an empty one sized for a width x height grid.
    bool CreateMesh(Renderer* renderer, int width, int height);
    // Gives every vertex off the border the normal of its four neighbours' quadrilateral.
    void ComputeNormals();

    std::uint32_t& GetTexture() { return Texture; }

    // Ground height at world (x, z), interpolated from the mesh; 0.0 off the grid. Note the
    // argument order: z first.
    float GetHeight(float z, float x) const;

    // Recolours the vertices for a light travelling along (lightX, lightY, lightZ).
    void UpdateLighting(const Heightmap* heightmap, float lightX, float lightY, float lightZ, int smoothing);
};
