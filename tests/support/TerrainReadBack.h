#pragma once
// The terrain as a host holds it, read back from the double's buffers: every live terrain vertex
// buffer (one per tile), put together into the whole grid by the vertices' positions (x changes
// from row to row, z from column to column); and what a frame drew from it, read from the calls.

#include "render/TerrainVertex.h"
#include "support/RecordingRenderer.h"

#include <array>
#include <string>
#include <vector>

struct TerrainReadBack {
    struct Tile {
        const void* Buffer = nullptr;
        std::vector<TerrainVertex> Vertices;
        std::vector<int> GridVertex;       // grid vertex number of each of the tile's vertices
        int FirstRow = 0, FirstColumn = 0; // of the grid
        int LastRow = 0, LastColumn = 0;
    };
    // What one frame drew: triangles as grid vertex numbers, turned as drawn, degenerate ones left
    // out; per tile whether it was drawn, and the coarsest level its vertices allow (every vertex
    // used inside the tile lies on rows and columns at multiples of 2^level; 7 when none does); and
    // each drawn vertex's grid number and colour in the buffer it was drawn from, as read back.
    struct Frame {
        std::vector<std::array<int, 3>> Triangles;
        std::vector<bool> Drawn;
        std::vector<int> Level;
        std::vector<std::pair<int, std::uint32_t>> Colours;
    };

    int Width = 0;  // columns
    int Height = 0; // rows
    std::vector<TerrainVertex> Grid;
    std::vector<Tile> Tiles;
    // Every grid vertex is held by some tile, and a vertex held by several tiles is the same in each.
    bool Whole = false;

    static TerrainReadBack From(const RecordingRenderer& device);

    // The draws between the last BeginScene and EndScene in the device's calls.
    Frame Drawn(const RecordingRenderer& device) const;

    // Empty when the frame's triangles are a watertight cover of the tiles drawn: every triangle
    // turns as the strip's do, every edge is drawn once each way, except edges on the terrain's
    // border or on the border of a tile not drawn, drawn once; and they cover the drawn tiles' area.
    // Otherwise what is wrong.
    std::string CoverProblems(const Frame& frame) const;
};
