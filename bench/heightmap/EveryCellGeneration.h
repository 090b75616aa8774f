#pragma once
// The hill generation as it was before hills visited only their own cells: every hill tests
// every cell of the grid. Kept as the baseline that the benchmarks measure against; it draws
// the same numbers and gives the same grid.

#include "heightmap/Heightmap.h"
#include "platform/RuntimeRandom.h"

#include <cstdint>
#include <memory>

inline void EveryCellHill(Heightmap& grid, float centreX, float centreY, float heightScale, float radius) {
    const float radiusSquared = radius * radius;
    for (std::int32_t y = 0; y < grid.Height; ++y)
        for (std::int32_t x = 0; x < grid.Width; ++x) {
            const float dx = static_cast<float>(x) - centreX;
            const float dy = static_cast<float>(y) - centreY;
            const float h = (radiusSquared - (dx * dx + dy * dy)) * heightScale;
            if (h > 0.0f)
                grid.Data[y * grid.Width + x] = grid.Data[y * grid.Width + x] + h;
        }
}

inline std::unique_ptr<Heightmap> EveryCellGenerate(std::int32_t width, std::int32_t height,
                                                    std::int32_t nbHills, float minRadius, float maxRadius) {
    auto grid = std::make_unique<Heightmap>(width, height);
    const bool twoDraws = static_cast<std::int64_t>(width) * height > 32768;
    for (std::int32_t i = 0; i < nbHills; ++i) {
        const int first = veltra::platform::RuntimeRand();
        const double share =
            twoDraws ? (first * 32768.0 + veltra::platform::RuntimeRand()) / 1073741823.0 : first / 32767.0;
        const auto cell = static_cast<std::int64_t>(share * width * height);
        const auto radius = static_cast<float>(veltra::platform::RuntimeRand() / 32767.0 *
                                                   static_cast<double>(maxRadius - minRadius) +
                                               static_cast<double>(minRadius));
        EveryCellHill(*grid, static_cast<float>(cell % width), static_cast<float>(cell / width), 1.0f,
                      radius);
    }
    return grid;
}
