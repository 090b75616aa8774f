#pragma once
// The terrain as a host holds it, read back from the double's buffers: every live terrain vertex
// buffer with the index buffer made with it (one per tile), put together into the whole grid by the
// vertices' positions (x changes from row to row, z from column to column).

#include "render/TerrainVertex.h"
#include "support/RecordingRenderer.h"

#include <vector>

struct TerrainReadBack {
    struct Tile {
        std::vector<TerrainVertex> Vertices;
        std::vector<std::uint16_t> Indices;
        std::vector<int> GridVertex; // grid vertex number of each of the tile's vertices
    };

    int Width = 0;  // columns
    int Height = 0; // rows
    std::vector<TerrainVertex> Grid;
    std::vector<Tile> Tiles;
    // Every grid vertex is held by some tile, and a vertex held by several tiles is the same in each.
    bool Whole = false;

    static TerrainReadBack From(const RecordingRenderer& device);

    // Every tile's strip makes two triangles in every cell of its own and nothing else (apart from
    // degenerate ones), all with one winding, and the tiles together cover every cell of the grid
    // exactly once. Empty when so; otherwise what is wrong.
    std::string StripProblems() const;
};
