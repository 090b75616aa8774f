#pragma once

#include <cstdint>

// Position, normal, diffuse colour (ARGB), one texture coordinate pair: vertex format 0x152.
struct TerrainVertex {
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
    float NX = 0.0f, NY = 0.0f, NZ = 0.0f;
    std::uint32_t Diffuse = 0xFFFFFFFF;
    float U = 0.0f, V = 0.0f;

    static constexpr std::uint32_t FormatCode = 0x152;
};
static_assert(sizeof(TerrainVertex) == 36);
