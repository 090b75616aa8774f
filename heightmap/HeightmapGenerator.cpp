#include "heightmap/HeightmapGenerator.h"

#include "heightmap/Heightmap.h"
#include "heightmap/HillFootprint.h"
#include "platform/RuntimeRandom.h"

#include <cstdint>

HeightmapGenerator GeneratorInstance;

namespace {
// One draw has 32,768 values: a grid with more cells takes a hill's centre from two (30 bits), so
// that every cell can be one rather than a lattice of them.
constexpr std::int64_t SingleDrawCells = 32768;
} // namespace

Heightmap* HeightmapGenerator::Build() {
    return Generate();
}

Heightmap* HeightmapGenerator::Generate(std::int32_t width, std::int32_t height, std::int32_t nbHills,
                                        float minRadius, float maxRadius) {
    auto* grid = new Heightmap(width, height);
    AddHills(grid, nbHills, minRadius, maxRadius);
    return grid;
}

Heightmap* HeightmapGenerator::Generate(std::int32_t width, std::int32_t height) {
    return Generate(width, height, NbHills, static_cast<float>(MinHillRadius),
                    static_cast<float>(MaxHillRadius));
}

Heightmap* HeightmapGenerator::Generate() {
    return Generate(Width, Height);
}

void HeightmapGenerator::AddHills(Heightmap* grid, std::int32_t nbHills, float minRadius, float maxRadius) {
    using veltra::platform::RuntimeRand;
    const bool twoDraws = static_cast<std::int64_t>(grid->Width) * grid->Height > SingleDrawCells;
    for (std::int32_t i = 0; i < nbHills; ++i) {
        // The draws are scaled in double precision. The top draw lands one row past the grid;
        // AddHill then raises only the part of that hill that lies on the grid.
        const int centreDraw = RuntimeRand();
        const double share = twoDraws ? (centreDraw * 32768.0 + RuntimeRand()) / 1073741823.0
                                      : static_cast<double>(centreDraw) / 32767.0;
        const auto cell = static_cast<std::int64_t>(share * grid->Width * grid->Height);
        const int radiusDraw = RuntimeRand();
        const auto radius = static_cast<float>(static_cast<double>(radiusDraw) / 32767.0 *
                                                   static_cast<double>(maxRadius - minRadius) +
                                               static_cast<double>(minRadius));
        const std::int64_t column = cell % grid->Width;
        const std::int64_t row = cell / grid->Width;
        AddHill(grid, static_cast<float>(column), static_cast<float>(row), 1.0f, radius);
    }
}

void HeightmapGenerator::AddHill(Heightmap* grid, float centreX, float centreY, float heightScale,
                                 float radius) {
    const float radiusSquared = radius * radius;
    // Cell (x, y) changes only where (r² - d²) * heightScale > 0. With a positive scale that is
    // strictly inside the radius, so only the cells of the hill's footprint are visited.
    if (heightScale > 0.0f) {
        const HillFootprint footprint(grid->Width, grid->Height, centreX, centreY, radius);
        for (std::int32_t y = footprint.FirstRow; y <= footprint.LastRow; ++y) {
            const ColumnSpan span = footprint.Columns(y);
            float* row = grid->Data + static_cast<std::int64_t>(y) * grid->Width;
            for (std::int32_t x = span.First; x <= span.Last; ++x) {
                const float dx = static_cast<float>(x) - centreX;
                const float dy = static_cast<float>(y) - centreY;
                const float distanceSquared = dx * dx + dy * dy;
                const float h = (radiusSquared - distanceSquared) * heightScale;
                if (h > 0.0f)
                    row[x] = row[x] + h;
            }
        }
        return;
    }
    // Zero, negative or NaN scale: any cell may change (outside the radius, for a negative one).
    for (std::int32_t y = 0; y < grid->Height; ++y)
        for (std::int32_t x = 0; x < grid->Width; ++x) {
            const float dx = static_cast<float>(x) - centreX;
            const float dy = static_cast<float>(y) - centreY;
            const float distanceSquared = dx * dx + dy * dy;
            const float h = (radiusSquared - distanceSquared) * heightScale;
            if (h > 0.0f) {
                float& value = grid->Data[static_cast<std::int64_t>(y) * grid->Width + x];
                value = value + h;
            }
        }
}
