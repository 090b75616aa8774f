#pragma once

#include <cstdint>
#include <vector>

// The triangles of one tile at one level of detail, as a triangle list over the tile's own vertices
// (vertex r * (columnCells + 1) + c for row r and column c of the tile).
//
// Level L keeps the rows and columns at multiples of 2^L and the tile's last row and column. A side
// marked coarser meets a tile one level coarser: it keeps only that level's vertices, and the band
// along it is fanned onto them, so that the two tiles share every edge and no vertex of one lies
// inside an edge of the other. Every triangle turns the way the whole-grid strip's do.
struct TileIndices {
    enum Side : unsigned { FirstRow = 1, LastRow = 2, FirstColumn = 4, LastColumn = 8 };

    // The coarsest level that keeps row (or column) at of a side of cells cells: a level keeps the
    // multiples of 2^level and the last, so the ends are kept by every level.
    static int CoarsestKeeping(std::int32_t at, std::int32_t cells);
    // The rows (or columns) that level keeps of a side of cells cells: 0, 2^level, ... and cells.
    static std::vector<std::int32_t> Kept(std::int32_t cells, int level);

    // coarserSides: the Side bits of the sides that meet a coarser tile.
    static std::vector<std::uint16_t> Build(std::int32_t rowCells, std::int32_t columnCells, int level,
                                            unsigned coarserSides);
};
