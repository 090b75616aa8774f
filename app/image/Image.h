#pragma once

#include <cstdint>
#include <vector>

// An 8-bit RGBA picture, top row first.
struct Image {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgba; // Width * Height * 4 bytes

    Image() = default;
    Image(int width, int height);

    bool Empty() const { return Width <= 0 || Height <= 0; }
    std::uint8_t* Pixel(int x, int y);
    const std::uint8_t* Pixel(int x, int y) const;
    // Mirrors the rows (OpenGL reads pictures bottom row first).
    void FlipRows();
};
