#include "render/TerrainLighting.h"

#include "heightmap/GridLimits.h"
#include "render/LightingConstants.h"

#include <algorithm>
#include <cmath>

using namespace lighting;

namespace {
// Squares of components outside this range leave the float range, so the light is rescaled first.
constexpr float LargeComponent = 0x1p40f;
constexpr float SmallComponent = 0x1p-40f;
} // namespace

TerrainLighting& TerrainLighting::Module() {
    static TerrainLighting lighting;
    return lighting;
}

void TerrainLighting::Reset() {
    *this = TerrainLighting{};
}

bool TerrainLighting::Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing) {
    if (grid.Points == nullptr || grid.RowX == nullptr || grid.ColumnZ == nullptr ||
        !GridLimits::Fits(grid.Width, grid.Height))
        return false;
    Fit(grid.Width, grid.Height);
    const Light light = Direction(lightX, lightY, lightZ);
    if (light.CastsShadows)
        Sweep(grid, light);
    else
        std::fill(ShadowLevel.begin(), ShadowLevel.end(), 1.0f);
    Shade(grid, light);
    Colour(grid, std::max(smoothing, 1));
    return true;
}

TerrainLighting::Light TerrainLighting::Direction(float x, float y, float z) {
    Light light;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return light;
    const float largest = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
    if (largest == 0.0f)
        return light;
    if (largest > LargeComponent || largest < SmallComponent) {
        // A power-of-two scale changes no bit of the direction, only keeps the squares in range.
        int exponent = 0;
        std::frexp(largest, &exponent);
        x = std::ldexp(x, -exponent);
        y = std::ldexp(y, -exponent);
        z = std::ldexp(z, -exponent);
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    light.NX = x / length;
    light.NY = y / length;
    light.NZ = z / length;
    const float horizontal = std::sqrt(x * x + z * z);
    // A light straight down, or one that does not travel downwards, casts no shadows.
    light.CastsShadows = horizontal > 0.0f && y < 0.0f;
    if (light.CastsShadows) {
        light.HX = x / horizontal;
        light.HZ = z / horizontal;
    }
    light.RowLines = z * z < x * x;
    light.XNegative = x < 0.0f;
    light.ZNegative = z < 0.0f;
    return light;
}

void TerrainLighting::Fit(int width, int height) {
    if (width == FittedWidth && height == FittedHeight)
        return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    ShadowLevel.resize(count);
    // The border of the light level is never written and must read 0.0, whatever an earlier
    // grid shape left there.
    LightLevel.assign(count, 0.0f);
    // Entries start at 1.0 the first time a grid reaches them and then carry over between calls.
    if (DisplayLevel.size() < count)
        DisplayLevel.resize(count, 1.0f);
    Grey.resize(count);

    const int span = SlotsPerCell * (width + height);
    const int centre = std::max(LowestCentreSlot, span + 2);
    const std::size_t slots = static_cast<std::size_t>(centre + span + 2);
    for (std::vector<float>& buffer : Horizon)
        buffer.assign(slots * PerSlot, 0.0f);
    SlotLo = centre - span;
    SlotHi = centre + span;
    CentreSlot = static_cast<float>(centre);
    DirtyLo = DirtyHi = SlotLo;

    // Lines are placed four vertices at a time: room for a last, partly filled group.
    const std::size_t lineRoom = static_cast<std::size_t>(std::max(width, height) + 4);
    LineSlot.resize(lineRoom);
    LineWeights.resize(2 * lineRoom);
    LineRay.resize(lineRoom);
    LineGround.resize(lineRoom);
    FittedWidth = width;
    FittedHeight = height;
}
