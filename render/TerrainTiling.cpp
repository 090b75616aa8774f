#include "render/TerrainTiling.h"

#include <algorithm>

namespace {
std::int32_t Pieces(std::int32_t cells) {
    return (cells + TerrainTiling::TileCells - 1) / TerrainTiling::TileCells;
}

bool OneTile(std::int32_t width, std::int32_t height) {
    return static_cast<std::int64_t>(width) * height <= TerrainTiling::TileVertexLimit;
}
} // namespace

std::int32_t TerrainTiling::Across(std::int32_t width, std::int32_t height) {
    return width < 2 || height < 2 ? 0 : OneTile(width, height) ? 1 : Pieces(width - 1);
}

std::vector<TileRect> TerrainTiling::Plan(std::int32_t width, std::int32_t height) {
    if (width < 2 || height < 2)
        return {};
    if (OneTile(width, height))
        return {TileRect{0, 0, height, width}};
    std::vector<TileRect> tiles;
    for (std::int32_t row = 0; row < height - 1; row += TileCells)
        for (std::int32_t column = 0; column < width - 1; column += TileCells)
            tiles.push_back({row, column, std::min(TileCells, height - 1 - row) + 1,
                             std::min(TileCells, width - 1 - column) + 1});
    return tiles;
}
