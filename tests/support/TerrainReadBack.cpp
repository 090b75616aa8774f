#include "support/TerrainReadBack.h"

#include <algorithm>
#include <cstring>

TerrainReadBack TerrainReadBack::From(const RecordingRenderer& device) {
    TerrainReadBack terrain;
    std::vector<float> rows, columns;
    for (std::size_t i = 0; i < device.VertexBuffers.size() && i < device.IndexBuffers.size(); ++i) {
        const RecordingVertexBuffer* vertices = device.VertexBuffers[i];
        if (device.IsAlive(vertices) && device.IsAlive(device.IndexBuffers[i]) &&
            vertices->FormatCode == TerrainVertex::FormatCode)
            terrain.Tiles.push_back({vertices->All<TerrainVertex>(), device.IndexBuffers[i]->Indices(), {}});
    }
    for (const Tile& tile : terrain.Tiles)
        for (const TerrainVertex& v : tile.Vertices)
            rows.push_back(v.X), columns.push_back(v.Z);
    for (std::vector<float>* values : {&rows, &columns}) {
        std::sort(values->begin(), values->end());
        values->erase(std::unique(values->begin(), values->end()), values->end());
    }
    terrain.Height = static_cast<int>(rows.size());
    terrain.Width = static_cast<int>(columns.size());
    terrain.Grid.resize(rows.size() * columns.size());
    std::vector<bool> seen(terrain.Grid.size(), false);
    terrain.Whole = !terrain.Tiles.empty();
    auto position = [](const std::vector<float>& sorted, float value) {
        return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
    };
    for (Tile& tile : terrain.Tiles)
        for (const TerrainVertex& v : tile.Vertices) {
            const int n = position(rows, v.X) * terrain.Width + position(columns, v.Z);
            tile.GridVertex.push_back(n);
            terrain.Whole = terrain.Whole && (!seen[n] || std::memcmp(&terrain.Grid[n], &v, sizeof v) == 0);
            terrain.Grid[n] = v;
            seen[n] = true;
        }
    terrain.Whole = terrain.Whole && std::find(seen.begin(), seen.end(), false) == seen.end();
    return terrain;
}

std::string TerrainReadBack::StripProblems() const {
    if (Width < 2 || Height < 2)
        return "no cells";
    // Per cell (numbered by its lowest row and column): its triangles, and the corners they use as bits.
    std::vector<int> triangles(static_cast<std::size_t>(Width - 1) * (Height - 1), 0);
    std::vector<std::uint8_t> corners(triangles.size(), 0);
    int winding = 0;
    for (const Tile& tile : Tiles)
        for (std::size_t i = 2; i < tile.Indices.size(); ++i) {
            const int local[3] = {tile.Indices[i - 2], tile.Indices[i - 1], tile.Indices[i]};
            if (local[0] == local[1] || local[1] == local[2] || local[0] == local[2])
                continue;
            int grid[3], lowRow = Height, highRow = -1, lowColumn = Width, highColumn = -1;
            for (int k = 0; k < 3; ++k) {
                if (local[k] >= static_cast<int>(tile.GridVertex.size()))
                    return "index past the tile's vertices";
                grid[k] = tile.GridVertex[static_cast<std::size_t>(local[k])];
                lowRow = std::min(lowRow, grid[k] / Width), highRow = std::max(highRow, grid[k] / Width);
                lowColumn = std::min(lowColumn, grid[k] % Width),
                highColumn = std::max(highColumn, grid[k] % Width);
            }
            if (highRow - lowRow != 1 || highColumn - lowColumn != 1)
                return "a triangle spans more than one cell";
            const TerrainVertex &a = Grid[grid[0]], &b = Grid[grid[1]], &c = Grid[grid[2]];
            const float area = (b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z);
            const int sign = (area > 0.0f) == (i % 2 == 0) ? 1 : -1; // odd strip positions flip their order
            if (sign != (winding = winding == 0 ? sign : winding))
                return "winding changes";
            const std::size_t cell = static_cast<std::size_t>(lowRow) * (Width - 1) + lowColumn;
            ++triangles[cell];
            for (const int n : grid)
                corners[cell] |=
                    static_cast<std::uint8_t>(1 << ((n / Width - lowRow) * 2 + n % Width - lowColumn));
        }
    for (std::size_t cell = 0; cell < triangles.size(); ++cell)
        if (triangles[cell] != 2 || corners[cell] != 0xF)
            return "cell " + std::to_string(cell) + " has " + std::to_string(triangles[cell]) + " triangles";
    return "";
}
