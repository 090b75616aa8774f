#pragma once
// The terrain an Init handed a recording renderer, read back from its buffers: the grid's size
// (x changes from row to row, z from column to column), its strip and its heights.

#include "support/RecordingRenderer.h"

struct BuiltScene {
    bool Found = false; // a terrain vertex buffer and its index buffer are alive
    int Columns = 0;
    int Rows = 0;
    int Vertices = 0;
    int Indices = 0; // appended
    bool IndicesInRange = true;
    bool Finite = true; // every position and normal component
    float Lowest = 0.0f;
    float Highest = 0.0f;

    // Indices of a strip over columns x rows: two per column for each pair of rows, and four more
    // between pairs to join them with degenerate triangles.
    static int StripIndices(int columns, int rows) { return (rows - 1) * (2 * columns + 4) - 4; }

    // The terrain of the renderer's last terrain vertex buffer and its first live index buffer:
    // Init frees the previous scene, then makes the terrain before the box.
    static BuiltScene From(const RecordingRenderer& device);
};
