#pragma once

#include <cstdint>

// Width x Height grid of heights, row-major: column x of row y is Data[y * Width + x].
class Heightmap {
public:
    float* Data = nullptr; // owned
    std::int32_t Width = 0;
    std::int32_t Height = 0;

    // Every value starts at 0.0.
    Heightmap(std::int32_t width, std::int32_t height);
    virtual ~Heightmap();
    Heightmap(const Heightmap&) = delete;
    Heightmap& operator=(const Heightmap&) = delete;

    void Square();
    // Maps the values onto 0..1; a flat grid becomes all 0.0.
    void Normalize();
    void Scale(float factor);
};
