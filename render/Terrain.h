#pragma once

#include "lighting/LargePageAllocator.h"
#include "lighting/SurfacePoint.h"
#include "lighting/TerrainLighting.h"
#include "render/TerrainDetail.h"
#include "render/TerrainEye.h"
#include "render/TerrainTiling.h"
#include "render/TerrainVertex.h"
#include "render/TriangleStripMesh.h"

#include <cstdint>
#include <memory>
#include <vector>

class Heightmap;
class Renderer;
class VertexBuffer;

// The heightmap as textured triangle strips over 1000 x 1000 world units centred on the origin.
// Vertex n = row * GridWidth + column; the row number grows with world x, the column with world z.
// A grid that 16-bit indices reach is one strip; a bigger one is cut into tiles (TerrainTiling),
// each with a vertex buffer of its own (coarsest vertices first: TileVertexOrder), drawn each frame
// at the level of detail the eye calls for (TerrainDetail).
//
// What the vertices hold apart from their colour never changes after Build, so the terrain keeps
// heights and normals on its side (GetHeight and the lighting read them there) and only ever
// writes to the host's buffers: Append while building, Set when relighting. A tile's buffer gets
// the new grey levels of the vertices that its level of detail draws; the others wait until a
// finer level draws them, so that a coarse or hidden tile costs no upload.
class Terrain {
public:
    using StripMesh = TriangleStripMesh<TerrainVertex>;
    using TileMesh = MeshBase<TerrainVertex>;
    std::uint32_t Texture = 0;   // device handle, not owned; 0 = none
    std::int32_t GridWidth = 0;  // columns; 0 before Build
    std::int32_t GridHeight = 0; // rows; 0 before Build
    float ExtentX = 1000.0f;
    float ExtentZ = 1000.0f;

    Terrain() = default;
    virtual ~Terrain();
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    // Binds the texture once, then draws the one strip, or every tile not behind the eye at the
    // level of detail the eye calls for.
    virtual void Render(Renderer* renderer, const TerrainEye& eye);

    // Vertices, strips and normals from the heightmap. Refused (the terrain is left as it was)
    // without a device or heightmap, or for a grid outside GridLimits.
    void Build(Renderer* renderer, const Heightmap* heightmap);

    std::uint32_t& GetTexture() { return Texture; }

    // Height of the drawn surface at world (x, z): on the strip's triangle over that point; the
    // edges (±ExtentX / 2, ±ExtentZ / 2) included, 0.0 off the grid. Note the argument order: z first.
    float GetHeight(float z, float x) const;

    // Relights every interior vertex for a light travelling along (lightX, lightY, lightZ) and
    // writes each one whose grey level changed, with Set, into every tile that holds it and draws
    // it at the level it was drawn last. The heightmap is not read.
    void UpdateLighting(const Heightmap* heightmap, float lightX, float lightY, float lightZ, int smoothing);

    // What the lighting reads: the heights and normals, each row's x and each column's z.
    TerrainLighting::Grid LightingGrid() const;

    // Vertex (row, column) as Build made it, coloured diffuse.
    TerrainVertex VertexAt(int row, int column, std::uint32_t diffuse) const;

    // The tiles as a tool sees them (0 before Build): where each lies, and the mesh over the host's
    // buffer that holds its vertices.
    std::size_t TileCount() const { return Tiles.size(); }
    const TileRect& TileArea(std::size_t tile) const { return Tiles[tile].Rect; }
    TileMesh& TileVertices(std::size_t tile) { return *Tiles[tile].Mesh; }

private:
    // A tile, and what the terrain wrote to its buffer.
    struct Tile {
        TileRect Rect;
        std::unique_ptr<TileMesh> Mesh;         // a StripMesh when the grid is one tile, else a VertexMesh
        const TileVertexOrder* Order = nullptr; // null: the vertices row by row, as the strip has them
        std::vector<std::uint8_t> Held;         // the grey level each vertex holds in the buffer, row by row
        int LitFrom = 0; // the vertices that level and coarser ones keep hold the last lighting's levels
        int DrawnAt = 0; // the level drawn last; TerrainDetail::Levels when not drawn
    };

    void LayOut(const Heightmap& heightmap);
    void ComputeNormals();
    void BuildTile(Renderer* renderer, Tile& tile) const;
    void BuildStrip(Renderer* renderer, Tile& tile) const;
    // The grey levels of the span into every tile that holds a part of it.
    void WriteColours(const TerrainLighting::Span& span);
    // Those of the span's vertices that the tile keeps at the level.
    void WriteTile(Tile& tile, const TerrainLighting::Span& span, int level, const std::uint8_t* grey);
    void WriteRow(Tile& tile, VertexBuffer& vertices, int row, int firstColumn, int endColumn, int level,
                  const std::uint8_t* grey);

    std::vector<Tile> Tiles;             // empty before Build
    TerrainDetail Detail;                // the tiles' levels; unused for a grid of one tile
    std::uint64_t LitBy = 0;             // the lighting's update that lit this terrain last
    LargeVector<SurfacePoint> Surface;   // per vertex
    LargeVector<float> RowHeights;       // per vertex, row by row: what sweeps along rows read
    LargeVector<float> ColumnHeights;    // per vertex, column by column: what sweeps along columns read
    std::vector<float> RowX, RowV;       // per row: world x, texture V
    std::vector<float> ColumnZ, ColumnU; // per column: world z, texture U
};
