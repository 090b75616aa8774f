#pragma once

#include <cstdint>

class HeightmapGenerator;

// The generator's fields come from a script, unchecked. These are the values that generation
// actually uses: a grid the terrain can be built from (GridLimits), hill radii small enough that squared
// heights stay finite, and a hill count whose work Init can afford.
struct GenerationBounds {
    static constexpr std::int32_t RadiusLimit = 4096;  // cells, either sign
    static constexpr std::int32_t HillLimit = 1 << 20; // each hill costs a few draws and a set-up
    static constexpr double CellVisitLimit = 64.0 * (1 << 20);

    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t NbHills = 0;
    std::int32_t MinHillRadius = 0;
    std::int32_t MaxHillRadius = 0;

    bool SizeBounded = false;  // Width or Height differs from the generator's
    bool RadiiBounded = false; // MinHillRadius or MaxHillRadius differs
    bool HillsBounded = false; // NbHills differs

    // The bounded values for the generator's current fields.
    static GenerationBounds For(const HeightmapGenerator& generator);
};
