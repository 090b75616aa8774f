#pragma once

#include <cstdint>

// The grids a terrain may have, in one place: generation brings a script's size into this range,
// the terrain refuses to build outside it and the lighting to light outside it.
struct GridLimits {
    static constexpr std::int32_t SideMin = 2;    // vertex positions divide by side - 1
    static constexpr std::int32_t SideMax = 4096; // per side

    static constexpr bool Fits(std::int64_t width, std::int64_t height) {
        return width >= SideMin && height >= SideMin && width <= SideMax && height <= SideMax;
    }
};
