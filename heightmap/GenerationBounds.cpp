#include "heightmap/GenerationBounds.h"

#include "heightmap/GridLimits.h"
#include "heightmap/HeightmapGenerator.h"
#include "heightmap/HillFootprint.h"

#include <algorithm>
#include <cmath>

GenerationBounds GenerationBounds::For(const HeightmapGenerator& generator) {
    GenerationBounds bounds;
    bounds.Width = std::clamp(generator.Width, GridLimits::SideMin, GridLimits::SideMax);
    bounds.Height = std::clamp(generator.Height, GridLimits::SideMin, GridLimits::SideMax);
    bounds.SizeBounded = bounds.Width != generator.Width || bounds.Height != generator.Height;

    bounds.MinHillRadius = std::clamp(generator.MinHillRadius, -RadiusLimit, RadiusLimit);
    bounds.MaxHillRadius = std::clamp(generator.MaxHillRadius, -RadiusLimit, RadiusLimit);
    bounds.RadiiBounded =
        bounds.MinHillRadius != generator.MinHillRadius || bounds.MaxHillRadius != generator.MaxHillRadius;

    // Every radius drawn lies between the two bounds, so the larger magnitude sizes every hill.
    const double widestRadius = std::max(std::abs(static_cast<double>(bounds.MinHillRadius)),
                                         std::abs(static_cast<double>(bounds.MaxHillRadius)));
    const double cellsPerHill = HillFootprint::MostCells(bounds.Width, bounds.Height, widestRadius);
    const double affordable =
        std::min(static_cast<double>(HillLimit), std::floor(CellVisitLimit / cellsPerHill));
    bounds.NbHills = generator.NbHills;
    if (static_cast<double>(bounds.NbHills) > affordable)
        bounds.NbHills = static_cast<std::int32_t>(affordable);
    bounds.HillsBounded = bounds.NbHills != generator.NbHills;
    return bounds;
}
