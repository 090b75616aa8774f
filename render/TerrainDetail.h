#pragma once

#include "render/SurfacePoint.h"
#include "render/TerrainEye.h"
#include "render/TerrainTiling.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class IndexBuffer;
class Renderer;
class VertexBuffer;

// Levels of detail for a tiled terrain (geomipmapping). Each tile keeps its vertex buffer; each
// frame it draws with one of the index buffers built once for its shape: a level (every 2^level-th
// row and column) and which of its sides meet a coarser tile.
//
// A tile's level is the coarsest whose error, seen from the eye, stays within ErrorPixels on a
// screen of ScreenLines lines behind a FieldOfView vertical field of view: error * PixelsPerRadian
// <= ErrorPixels * distance, the distance measured to the nearest point of the tile's box, so that
// no point of the tile is closer. The error of a level is the larger of
//  - how far any vertex it leaves out lies from the surface it draws there (the geometric error), and
//  - ShadingShare times the spacing of the vertices it keeps: the lighting colours every vertex and
//    a coarser level interpolates the colours of those it keeps, so a shadow's edge or a ridge's
//    highlight is spread over at most 1 / ShadingShare error budgets (pixels).
// Neighbouring tiles then differ by at most one level (the finer wins), and a tile whose box lies
// wholly behind the plane through the eye across its line of sight is not drawn.
class TerrainDetail {
public:
    static constexpr int Levels = 8;                    // 0 (every vertex) .. 7 (a 128-cell side as one cell)
    static constexpr float FieldOfView = 1.0471975512f; // 60 degrees
    static constexpr float ScreenLines = 1080.0f;
    static constexpr float ErrorPixels = 1.0f;
    static constexpr float ShadingShare = 0.05f;

    struct Heights {
        const SurfacePoint* Points = nullptr; // row by row, Width a row
        std::int32_t Width = 0;
        const float* RowX = nullptr;    // per row
        const float* ColumnZ = nullptr; // per column
    };

    TerrainDetail();
    ~TerrainDetail();
    TerrainDetail(const TerrainDetail&) = delete;
    TerrainDetail& operator=(const TerrainDetail&) = delete;

    // Measures every tile at every level and builds each tile shape's index buffers; across: tiles in
    // a row of the plan.
    void Build(Renderer* renderer, const std::vector<TileRect>& tiles, std::int32_t across,
               const Heights& heights);
    // Chooses every tile's level and whether it is drawn, for this eye.
    void Choose(const TerrainEye& eye);
    bool Drawn(std::size_t tile) const { return Visible[tile] != 0; }
    int Level(std::size_t tile) const { return Chosen[tile]; }
    // Selects the tile's index buffer and draws it over its vertices.
    void DrawTile(std::size_t tile, VertexBuffer& vertices) const;

private:
    struct Shape;
    struct TileState {
        std::array<float, 6> Box{}; // least x, y, z, then greatest x, y, z
        std::array<float, Levels> Error{};
        const Shape* Of = nullptr;
        std::int32_t Vertices = 0;
    };

    void Measure(const TileRect& rect, const Heights& heights, TileState& state) const;
    const Shape* ShapeFor(Renderer* renderer, std::int32_t rowCells, std::int32_t columnCells);
    void KeepNeighboursClose();
    unsigned CoarserSides(std::size_t tile) const;

    std::vector<TileState> States;
    std::vector<std::unique_ptr<Shape>> Shapes;
    std::vector<std::uint8_t> Chosen, Visible; // per tile, this frame
    std::int32_t Across = 0, Down = 0;
};
