#include "app/image/Image.h"

#include <algorithm>
#include <cstddef>

Image::Image(int width, int height)
    : Width(width), Height(height),
      Rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0) {}

std::uint8_t* Image::Pixel(int x, int y) {
    return Rgba.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)) * 4;
}

const std::uint8_t* Image::Pixel(int x, int y) const {
    return Rgba.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)) * 4;
}

void Image::FlipRows() {
    const std::size_t rowBytes = static_cast<std::size_t>(Width) * 4;
    for (int top = 0, bottom = Height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(Pixel(0, top), Pixel(0, top) + rowBytes, Pixel(0, bottom));
}
