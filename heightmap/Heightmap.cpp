#include "heightmap/Heightmap.h"

#include <algorithm>
#include <cstddef>

namespace {
// A grid always holds at least one value: the whole-grid operations start from element 0.
std::int32_t AtLeastOne(std::int32_t side) {
    return std::max(side, 1);
}
} // namespace

Heightmap::Heightmap(std::int32_t width, std::int32_t height)
    : Width(AtLeastOne(width)), Height(AtLeastOne(height)) {
    Data = new float[static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height)]();
}

Heightmap::~Heightmap() {
    delete[] Data;
}

void Heightmap::Square() {
    const std::size_t count = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    for (std::size_t i = 0; i < count; ++i)
        Data[i] = Data[i] * Data[i];
}

void Heightmap::Normalize() {
    const std::size_t count = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    float minimum = Data[0];
    float maximum = Data[0];
    for (std::size_t i = 0; i < count; ++i) {
        if (Data[i] < minimum)
            minimum = Data[i];
        if (Data[i] > maximum)
            maximum = Data[i];
    }
    const float range = maximum - minimum;
    if (range == 0.0f) {
        // A flat grid has no spread to map onto 0..1; dividing by it would fill the grid with NaN.
        for (std::size_t i = 0; i < count; ++i)
            Data[i] = 0.0f;
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        Data[i] = Data[i] - minimum;
        Data[i] = Data[i] / range;
    }
}

void Heightmap::Scale(float factor) {
    const std::size_t count = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    for (std::size_t i = 0; i < count; ++i)
        Data[i] = factor * Data[i];
}
