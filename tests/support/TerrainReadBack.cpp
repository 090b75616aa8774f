#include "support/TerrainReadBack.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace {
int Position(const std::vector<float>& sorted, float value) {
    return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
}
} // namespace

TerrainReadBack TerrainReadBack::From(const RecordingRenderer& device) {
    TerrainReadBack terrain;
    std::vector<float> rows, columns;
    for (std::size_t i = 0; i < device.VertexBuffers.size() && i < device.IndexBuffers.size(); ++i) {
        const RecordingVertexBuffer* vertices = device.VertexBuffers[i];
        const RecordingIndexBuffer* indices = device.IndexBuffers[i];
        if (!device.IsAlive(vertices) || !device.IsAlive(indices) ||
            vertices->FormatCode != TerrainVertex::FormatCode)
            continue;
        Tile tile{vertices->All<TerrainVertex>(), indices->Indices(), {}};
        for (const TerrainVertex& v : tile.Vertices) {
            rows.push_back(v.X);
            columns.push_back(v.Z);
        }
        terrain.Tiles.push_back(std::move(tile));
    }
    for (std::vector<float>* values : {&rows, &columns}) {
        std::sort(values->begin(), values->end());
        values->erase(std::unique(values->begin(), values->end()), values->end());
    }
    terrain.Height = static_cast<int>(rows.size());
    terrain.Width = static_cast<int>(columns.size());
    terrain.Grid.resize(rows.size() * columns.size());
    std::vector<bool> seen(terrain.Grid.size(), false);
    terrain.Whole = !terrain.Tiles.empty();
    for (Tile& tile : terrain.Tiles) {
        for (const TerrainVertex& v : tile.Vertices) {
            const int n = Position(rows, v.X) * terrain.Width + Position(columns, v.Z);
            tile.GridVertex.push_back(n);
            if (seen[static_cast<std::size_t>(n)])
                terrain.Whole = terrain.Whole && std::memcmp(&terrain.Grid[n], &v, sizeof v) == 0;
            terrain.Grid[static_cast<std::size_t>(n)] = v;
            seen[static_cast<std::size_t>(n)] = true;
        }
    }
    terrain.Whole = terrain.Whole && std::find(seen.begin(), seen.end(), false) == seen.end();
    return terrain;
}

std::string TerrainReadBack::StripProblems() const {
    std::map<int, std::set<int>> cellCorners; // cell (its lowest grid vertex) -> corners used
    std::map<int, int> cellTriangles;
    int winding = 0;
    for (const Tile& tile : Tiles) {
        for (std::size_t i = 2; i < tile.Indices.size(); ++i) {
            const int local[3] = {tile.Indices[i - 2], tile.Indices[i - 1], tile.Indices[i]};
            if (local[0] == local[1] || local[1] == local[2] || local[0] == local[2])
                continue;
            int grid[3], lowRow = Height, highRow = -1, lowColumn = Width, highColumn = -1;
            for (int k = 0; k < 3; ++k) {
                if (local[k] >= static_cast<int>(tile.GridVertex.size()))
                    return "index past the tile's vertices";
                grid[k] = tile.GridVertex[static_cast<std::size_t>(local[k])];
                lowRow = std::min(lowRow, grid[k] / Width);
                highRow = std::max(highRow, grid[k] / Width);
                lowColumn = std::min(lowColumn, grid[k] % Width);
                highColumn = std::max(highColumn, grid[k] % Width);
            }
            if (highRow - lowRow != 1 || highColumn - lowColumn != 1)
                return "a triangle spans more than one cell";
            const TerrainVertex &a = Grid[grid[0]], &b = Grid[grid[1]], &c = Grid[grid[2]];
            float area = (b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z);
            if (i % 2 == 1)
                area = -area; // odd strip positions flip their order
            const int sign = area > 0.0f ? 1 : -1;
            if (winding == 0)
                winding = sign;
            if (sign != winding)
                return "winding changes";
            const int cell = lowRow * Width + lowColumn;
            ++cellTriangles[cell];
            cellCorners[cell].insert(grid, grid + 3);
        }
    }
    if (static_cast<long long>(cellTriangles.size()) != static_cast<long long>(Width - 1) * (Height - 1))
        return "cells covered: " + std::to_string(cellTriangles.size());
    for (const auto& [cell, triangles] : cellTriangles)
        if (triangles != 2 || cellCorners.at(cell).size() != 4)
            return "cell " + std::to_string(cell) + " has " + std::to_string(triangles) + " triangles";
    return "";
}
