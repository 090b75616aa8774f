#pragma once

#include <cstdint>
#include <vector>

// How a grid is cut into tiles that 16-bit indices can reach: a grid of at most TileVertexLimit
// vertices is one tile; a bigger one is cut into square tiles of Cells(width, height) cells a side (a
// power of two, so that every level of detail halves it), and the tiles along the far row and
// column keep what is left over. Neighbouring tiles share their border row or column.
struct TileRect {
    std::int32_t FirstRow = 0;
    std::int32_t FirstColumn = 0;
    std::int32_t Rows = 0;    // vertices along x
    std::int32_t Columns = 0; // vertices along z
};

struct TerrainTiling {
    static constexpr std::int64_t TileVertexLimit = 65536;
    // Smaller tiles fit the finest level closer round the eye, but each costs a draw a frame: tiles
    // are SmallCells a side while that makes at most MostSmallTiles of them, LargeCells otherwise.
    static constexpr std::int32_t SmallCells = 64;
    static constexpr std::int32_t LargeCells = 128;
    static constexpr std::int64_t MostSmallTiles = 1024;

    // The cells along a side of a tile in the plan for that grid.
    static std::int32_t Cells(std::int32_t width, std::int32_t height);
    // Row-major: the tiles of the first band of rows, then the next. Empty for a grid under 2 x 2.
    static std::vector<TileRect> Plan(std::int32_t width, std::int32_t height);
    // Tiles across (along the columns) in a plan for that width: the plan has Across * Down tiles.
    static std::int32_t Across(std::int32_t width, std::int32_t height);
};
