#include "render/TerrainTiling.h"

namespace {
// Widest a tile may be along one side whatever the other side: every index reaches its vertex
// for 256 x 256.
constexpr std::int32_t SideCap = 256;

std::int32_t Pieces(std::int32_t cells, std::int32_t cellsPerPiece) {
    return (cells + cellsPerPiece - 1) / cellsPerPiece;
}

// First vertex and vertex count of each of pieces spans over cells cells, sharing their ends.
std::vector<TileRect> Spans(std::int32_t cells, std::int32_t pieces, bool rows) {
    std::vector<TileRect> spans;
    std::int32_t first = 0;
    for (std::int32_t i = 0; i < pieces; ++i) {
        const std::int32_t own = cells / pieces + (i < cells % pieces ? 1 : 0);
        TileRect span;
        (rows ? span.FirstRow : span.FirstColumn) = first;
        (rows ? span.Rows : span.Columns) = own + 1;
        spans.push_back(span);
        first += own;
    }
    return spans;
}
} // namespace

std::vector<TileRect> TerrainTiling::Plan(std::int32_t width, std::int32_t height) {
    if (width < 2 || height < 2)
        return {};
    if (static_cast<std::int64_t>(width) * height <= TileVertexLimit)
        return {TileRect{0, 0, height, width}};
    // Bands of rows first, then as few columns of tiles as the band's height allows.
    const std::int32_t rowPieces = Pieces(height - 1, SideCap - 1);
    const std::int32_t tallest = (height - 1 + rowPieces - 1) / rowPieces + 1;
    const auto widest = static_cast<std::int32_t>(TileVertexLimit / tallest);
    const std::int32_t columnPieces = Pieces(width - 1, widest - 1);
    std::vector<TileRect> tiles;
    for (const TileRect& band : Spans(height - 1, rowPieces, true))
        for (const TileRect& strip : Spans(width - 1, columnPieces, false))
            tiles.push_back({band.FirstRow, strip.FirstColumn, band.Rows, strip.Columns});
    return tiles;
}
