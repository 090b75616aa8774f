#pragma once

#include <cstdint>
#include <vector>

// How a grid is cut into tiles that 16-bit indices can reach: a grid of at most TileVertexLimit
// vertices is one tile; a bigger one is cut into tiles of TileCells x TileCells cells (a power of
// two, so that every level of detail halves it), and the tiles along the far row and column keep
// what is left over. Neighbouring tiles share their border row or column.
struct TileRect {
    std::int32_t FirstRow = 0;
    std::int32_t FirstColumn = 0;
    std::int32_t Rows = 0;    // vertices along x
    std::int32_t Columns = 0; // vertices along z
};

struct TerrainTiling {
    static constexpr std::int64_t TileVertexLimit = 65536;
    static constexpr std::int32_t TileCells = 128;

    // Row-major: the tiles of the first band of rows, then the next. Empty for a grid under 2 x 2.
    static std::vector<TileRect> Plan(std::int32_t width, std::int32_t height);
    // Tiles across (along the columns) in a plan for that width: the plan has Across * Down tiles.
    static std::int32_t Across(std::int32_t width, std::int32_t height);
};
