#pragma once

#include "render/TerrainEye.h"
#include "render/TerrainTiling.h"
#include "render/TileVertexOrder.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class IndexBuffer;
class Renderer;
class VertexBuffer;

// Levels of detail for a tiled terrain (geomipmapping). Each tile keeps its vertex buffer; each
// frame it draws with one of the index buffers built once for its shape: a level (every 2^level-th
// row and column) and which of its sides meet a coarser tile.
//
// A tile's level is the coarsest whose faults, seen from the eye on a screen of ScreenLines lines
// behind a FieldOfView vertical field of view, stay within two bounds, both measured to the nearest
// point of the tile's box, so that no point of the tile is closer:
//  - its geometric error (how far any vertex it leaves out lies from the surface it draws there, a
//    height), foreshortened as a vertical seen along the line of sight is, stays within ErrorPixels;
//  - the spacing of the vertices it keeps stays within SpacingPixels: the lighting colours every
//    vertex, and a coarser level spreads the colours of those it keeps over its triangles, so this
//    bounds how far a shadow's edge or a ridge's highlight is smeared.
// At 640 x 480 the bounds are 7.1 and 4.2 pixels. Chosen against full-detail frames from the same eye
// (bench/frames/psnr): tighter bounds cost triangles these frames cannot show, looser ones smear the
// shading of the top view, where the whole terrain is seen at some two vertices a pixel.
// Neighbouring tiles then differ by at most one level (the finer wins). A tile whose box lies wholly
// behind the plane through the eye across its line of sight, or wholly beyond the left or right
// side of the view (when the picture's aspect is known), is not drawn.
class TerrainDetail {
public:
    static constexpr int Levels = 8;                    // 0 (every vertex) .. 7 (a 128-cell side as one cell)
    static constexpr float FieldOfView = 1.0471975512f; // 60 degrees
    static constexpr float ScreenLines = 1080.0f;
    static constexpr float ErrorPixels = 16.0f;
    static constexpr float SpacingPixels = 9.5f;

    struct Heights {
        const float* Y = nullptr; // per vertex, row by row, Width a row
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
    // Every tile, nearest the eye first: drawn in this order, nearer ground hides what lies behind
    // it before that is shaded.
    const std::vector<std::uint32_t>& NearestFirst() const { return Order; }
    int Level(std::size_t tile) const { return Chosen[tile]; }
    // Tiles in a row of the plan, and rows of tiles.
    std::int32_t TilesAcross() const { return Across; }
    std::int32_t TilesDown() const { return Down; }
    // Where the tile's vertices sit in its buffer; the index buffers count in that order.
    const TileVertexOrder& VertexOrder(std::size_t tile) const;
    // Selects the tile's index buffer and draws it over its vertices.
    void DrawTile(std::size_t tile, VertexBuffer& vertices) const;

private:
    struct Shape;
    struct TileState {
        std::array<float, 6> Box{};         // least x, y, z, then greatest x, y, z
        std::array<float, Levels> Height{}; // the geometric error of each level
        float Spacing = 0.0f;               // of the vertices at level 0, the widest
        const Shape* Of = nullptr;
        std::int32_t Vertices = 0;
    };

    static std::optional<std::array<std::array<float, 3>, 2>> ViewSides(const TerrainEye& eye);
    void Measure(const TileRect& rect, const Heights& heights, TileState& state) const;
    const Shape* ShapeFor(Renderer* renderer, std::int32_t rowCells, std::int32_t columnCells);
    void KeepNeighboursClose();
    unsigned CoarserSides(std::size_t tile) const;

    std::vector<TileState> States;
    std::vector<std::unique_ptr<Shape>> Shapes;
    std::vector<std::uint8_t> Chosen, Visible; // per tile, this frame
    std::vector<float> Distance;               // per tile, this frame
    std::vector<std::uint32_t> Order;          // tiles by Distance
    std::int32_t Across = 0, Down = 0;
};
