#pragma once
// Heights for the lighting tests and benchmarks.

#include <algorithm>
#include <random>
#include <vector>

namespace lighting_grids {

// Random round hills, squared and ranged onto 0 .. 250 as the engine shapes its heightmap, with
// independent noise of the given size on top (shadow and light then alternate from vertex to vertex).
inline std::vector<float> Hills(int width, int height, unsigned seed, int hills = 40, float noise = 0.0f) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> heights(static_cast<std::size_t>(width) * height, 0.0f);
    const float largest = std::max(2.0f, static_cast<float>(std::min(width, height)) / 4.0f);
    for (int hill = 0; hill < hills; ++hill) {
        const float cx = unit(random) * static_cast<float>(width);
        const float cy = unit(random) * static_cast<float>(height);
        const float radius = 1.0f + unit(random) * largest;
        for (int n = 0; n < width * height; ++n) {
            const float dx = static_cast<float>(n % width) - cx, dy = static_cast<float>(n / width) - cy;
            heights[n] += std::max(0.0f, radius * radius - (dx * dx + dy * dy));
        }
    }
    for (float& h : heights)
        h *= h;
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    const float lowest = *low, range = *high - *low;
    for (float& h : heights)
        h = (range > 0.0f ? (h - lowest) / range * 250.0f : 0.0f) + noise * unit(random);
    return heights;
}

} // namespace lighting_grids
