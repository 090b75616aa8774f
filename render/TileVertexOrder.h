#pragma once

#include <cstdint>
#include <vector>

// Where each vertex of a tile sits in the tile's vertex buffer: the vertices that coarser levels of
// detail keep come first, so that every level draws from the start of the buffer. A frame that
// draws a tile coarsely then changes only that start, and the host uploads no more than it.
class TileVertexOrder {
public:
    TileVertexOrder(std::int32_t rowCells, std::int32_t columnCells, int levels);

    // The buffer slot of the tile's vertex r * (columnCells + 1) + c.
    std::uint16_t Slot(std::int32_t vertex) const { return Slots[static_cast<std::size_t>(vertex)]; }
    // The tile's vertex in a slot.
    std::int32_t VertexIn(std::int32_t slot) const { return Vertices[static_cast<std::size_t>(slot)]; }

private:
    std::vector<std::uint16_t> Slots;
    std::vector<std::int32_t> Vertices;
};
