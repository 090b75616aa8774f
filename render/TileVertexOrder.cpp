#include "render/TileVertexOrder.h"

#include "render/TileIndices.h"

#include <algorithm>

TileVertexOrder::TileVertexOrder(std::int32_t rowCells, std::int32_t columnCells, int levels) {
    const std::int32_t columns = columnCells + 1;
    Vertices.resize(static_cast<std::size_t>((rowCells + 1) * columns));
    Slots.resize(Vertices.size());
    for (std::size_t n = 0; n < Vertices.size(); ++n)
        Vertices[n] = static_cast<std::int32_t>(n);
    // Coarsest first (of levels 0 .. levels - 1); row by row within a level.
    auto rank = [&](std::int32_t n) {
        return std::min({TileIndices::CoarsestKeeping(n / columns, rowCells),
                         TileIndices::CoarsestKeeping(n % columns, columnCells), levels - 1});
    };
    std::stable_sort(Vertices.begin(), Vertices.end(),
                     [&](std::int32_t a, std::int32_t b) { return rank(a) > rank(b); });
    for (std::size_t slot = 0; slot < Vertices.size(); ++slot)
        Slots[static_cast<std::size_t>(Vertices[slot])] = static_cast<std::uint16_t>(slot);
}
