#pragma once

#include <cstdint>

// Position and one texture coordinate pair: vertex format 0x102.
struct BoxVertex {
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
    float U = 0.0f, V = 0.0f;

    static constexpr std::uint32_t FormatCode = 0x102;

    BoxVertex() = default;
    BoxVertex(float x, float y, float z, float u, float v) : X(x), Y(y), Z(z), U(u), V(v) {}
};
static_assert(sizeof(BoxVertex) == 20);
