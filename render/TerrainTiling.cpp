#include "render/TerrainTiling.h"

#include <algorithm>

namespace {
std::int32_t Pieces(std::int32_t vertices, std::int32_t cells) {
    return (vertices - 1 + cells - 1) / cells;
}

bool OneTile(std::int32_t width, std::int32_t height) {
    return static_cast<std::int64_t>(width) * height <= TerrainTiling::TileVertexLimit;
}
} // namespace

std::int32_t TerrainTiling::Cells(std::int32_t width, std::int32_t height) {
    const std::int64_t smallTiles =
        static_cast<std::int64_t>(Pieces(width, SmallCells)) * Pieces(height, SmallCells);
    return smallTiles <= MostSmallTiles ? SmallCells : LargeCells;
}

std::int32_t TerrainTiling::Across(std::int32_t width, std::int32_t height) {
    return width < 2 || height < 2 ? 0 : OneTile(width, height) ? 1 : Pieces(width, Cells(width, height));
}

std::vector<TileRect> TerrainTiling::Plan(std::int32_t width, std::int32_t height) {
    if (width < 2 || height < 2)
        return {};
    if (OneTile(width, height))
        return {TileRect{0, 0, height, width}};
    const std::int32_t cells = Cells(width, height);
    std::vector<TileRect> tiles;
    for (std::int32_t row = 0; row < height - 1; row += cells)
        for (std::int32_t column = 0; column < width - 1; column += cells)
            tiles.push_back({row, column, std::min(cells, height - 1 - row) + 1,
                             std::min(cells, width - 1 - column) + 1});
    return tiles;
}
