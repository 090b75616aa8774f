#include "render/TerrainLighting.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int SlotsPerCell = 3;
constexpr int LowestCentreSlot =
    500; // horizon slots are numbered around this centre, or higher for big grids
constexpr float Ambient = 0.2f;
constexpr float DiffuseWeight = 0.8f;

// Squares of components outside this range leave the float range, so the light is rescaled first.
constexpr float LargeComponent = 0x1p40f;
constexpr float SmallComponent = 0x1p-40f;

// next[j] = (2 cur[j-1] + 2 cur[j+1] + cur[j-2] + cur[j+2] + 4 cur[j]) / 10, in this order, for
// j in [from, to). Plain element-wise work, so the compiler vectorises it.
void SmoothSlots(const float* __restrict cur, float* __restrict next, int from, int to) {
    for (int j = from; j < to; ++j)
        next[j] = (2.0f * cur[j - 1] + 2.0f * cur[j + 1] + cur[j - 2] + cur[j + 2] + 4.0f * cur[j]) / 10.0f;
}

// The lit vertex pulls slot k of the horizon towards its ray height h, and the drop towards how far
// the new horizon lies above the vertex.
inline void Raise(float* height, float* drop, int k, float weight, float h, float y) {
    const float horizon = height[k] + weight * (h - height[k]);
    height[k] = horizon;
    drop[k] = drop[k] + weight * ((horizon - y) - drop[k]);
}

// Clamped to 0 .. 1; a value that is not a number (a degenerate horizon can give 0/0) becomes 0.
inline float ClampLevel(float level) {
    if (!(level >= 0.0f))
        return 0.0f;
    return level > 1.0f ? 1.0f : level;
}

} // namespace

TerrainLighting& TerrainLighting::Module() {
    static TerrainLighting lighting;
    return lighting;
}

void TerrainLighting::Reset() {
    *this = TerrainLighting{};
}

void TerrainLighting::Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing) {
    if (grid.Vertices == nullptr || grid.Width < 1 || grid.Height < 1 ||
        static_cast<long long>(grid.Width) * grid.Height > MaxVertices)
        return;
    Fit(grid.Width, grid.Height);
    const Light light = Direction(lightX, lightY, lightZ);
    if (light.CastsShadows)
        Sweep(grid, light);
    else
        std::fill(ShadowLevel.begin(), ShadowLevel.end(), 1.0f);
    Shade(grid, light);
    Colour(grid, std::max(smoothing, 1));
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

    const int span = SlotsPerCell * (width + height);
    const int centre = std::max(LowestCentreSlot, span + 2);
    const std::size_t slots = static_cast<std::size_t>(centre + span + 2);
    for (int pair = 0; pair < 2; ++pair) {
        HorizonHeight[pair].assign(slots, 0.0f);
        HorizonDrop[pair].assign(slots, 0.0f);
    }
    SlotLo = centre - span;
    SlotHi = centre + span;
    CentreSlot = static_cast<float>(centre);
    DirtyLo = DirtyHi = SlotLo;
    FittedWidth = width;
    FittedHeight = height;
}

void TerrainLighting::ClearHorizon() {
    for (int pair = 0; pair < 2; ++pair) {
        std::fill(HorizonHeight[pair].begin() + DirtyLo, HorizonHeight[pair].begin() + DirtyHi, 0.0f);
        std::fill(HorizonDrop[pair].begin() + DirtyLo, HorizonDrop[pair].begin() + DirtyHi, 0.0f);
    }
    DirtyLo = DirtyHi = SlotLo;
    Current = 0;
}

void TerrainLighting::Sweep(const Grid& grid, const Light& light) {
    ClearHorizon();
    const int width = grid.Width;
    const int height = grid.Height;
    // Lines lie across the light's main horizontal direction and start where the light enters.
    const int firstColumn = light.ZNegative ? width - 1 : 0;
    const int columnStep = light.ZNegative ? -1 : 1;
    const int firstRow = light.XNegative ? height - 1 : 0;
    const int rowStep = light.XNegative ? -1 : 1;
    const float x0 = light.XNegative ? grid.ExtentX / 2.0f : -grid.ExtentX / 2.0f;
    const float z0 = light.ZNegative ? grid.ExtentZ / 2.0f : -grid.ExtentZ / 2.0f;
    const int lineCount = light.RowLines ? height : width;
    const int lineLength = light.RowLines ? width : height;
    const int lineDelta = light.RowLines ? rowStep * width : columnStep;
    const int stepDelta = light.RowLines ? columnStep : rowStep * width;

    // The slot position is measured in thirds of a cell of ExtentZ / Width.
    const float cell = grid.ExtentZ / static_cast<float>(width);
    const float centre = CentreSlot;
    const float firstSlot = static_cast<float>(SlotLo);
    const float lastSlot = static_cast<float>(SlotHi - 1); // k + 1 must stay below SlotHi
    const float hx = light.HX;
    const float hz = light.HZ;
    const float ny = light.NY;
    const TerrainVertex* vertices = grid.Vertices;
    float* shadowLevel = ShadowLevel.data();

    int lineStart = firstRow * width + firstColumn;
    for (int line = 0; line < lineCount; ++line, lineStart += lineDelta) {
        float* horizon = HorizonHeight[Current].data();
        float* drop = HorizonDrop[Current].data();
        int touchedLo = SlotHi;
        int touchedHi = SlotLo;
        int n = lineStart;
        for (int step = 0; step < lineLength; ++step, n += stepDelta) {
            const TerrainVertex& vertex = vertices[n];
            const float dx = vertex.X - x0;
            const float dz = vertex.Z - z0;
            const float p = (hz * dx - hx * dz) / cell * static_cast<float>(SlotsPerCell) + centre;
            const float t = hx * dx + hz * dz;
            const float h = vertex.Y - t * ny;
            float shadow = 1.0f;
            // A vertex outside the terrain's extents has no horizon slot: it stays lit.
            if (p >= firstSlot && p < lastSlot) {
                const int k = static_cast<int>(p);
                const float kf = static_cast<float>(k);
                const float wk = 1.0f - (p - kf);
                const float wk1 = 1.0f - ((kf + 1.0f) - p);
                const float horizonAtP = wk * horizon[k] + wk1 * horizon[k + 1];
                const float dropAtP = wk * drop[k] + wk1 * drop[k + 1];
                if (h < horizonAtP) {
                    const float f = ((h - dropAtP) / (horizonAtP - dropAtP)) * (h / horizonAtP);
                    const float g = (f + 2.0f) / 3.0f;
                    shadow = g * g * g * g * g * g;
                } else {
                    Raise(horizon, drop, k, wk, h, vertex.Y);
                    Raise(horizon, drop, k + 1, wk1, h, vertex.Y);
                    touchedLo = std::min(touchedLo, k);
                    touchedHi = std::max(touchedHi, k + 2);
                }
            }
            shadowLevel[n] = shadow;
        }
        SmoothHorizon(touchedLo, touchedHi);
    }
}

void TerrainLighting::SmoothHorizon(int touchedLo, int touchedHi) {
    int lo = DirtyLo;
    int hi = DirtyHi;
    if (touchedLo < touchedHi) {
        lo = lo < hi ? std::min(lo, touchedLo) : touchedLo;
        hi = std::max(hi, touchedHi);
    }
    const int next = 1 - Current;
    if (lo < hi) {
        // The kernel reaches two slots each way; the live range bounds it.
        const int from = std::max(SlotLo, lo - 2);
        const int to = std::min(SlotHi, hi + 2);
        SmoothSlots(HorizonHeight[Current].data(), HorizonHeight[next].data(), from, to);
        SmoothSlots(HorizonDrop[Current].data(), HorizonDrop[next].data(), from, to);
        DirtyLo = from;
        DirtyHi = to;
    }
    Current = next;
}

void TerrainLighting::Shade(const Grid& grid, const Light& light) {
    const int width = grid.Width;
    const float* shadow = ShadowLevel.data();
    float* lightLevel = LightLevel.data();
    for (int row = 1; row < grid.Height - 1; ++row) {
        for (int n = row * width + 1, end = row * width + width - 1; n < end; ++n) {
            const float blurred =
                (shadow[n + width] + shadow[n - width] + shadow[n + 1] + shadow[n - 1] + shadow[n]) / 5.0f;
            const TerrainVertex& vertex = grid.Vertices[n];
            const float d = vertex.NX * light.NX + vertex.NY * light.NY + vertex.NZ * light.NZ;
            const float diffuse = d > 0.0f ? Ambient : Ambient + DiffuseWeight * (-d);
            lightLevel[n] = ClampLevel(diffuse * blurred);
        }
    }
}

void TerrainLighting::Colour(const Grid& grid, int smoothing) {
    const int width = grid.Width;
    const float kept = static_cast<float>(smoothing - 1);
    const float divisor = static_cast<float>(smoothing);
    const float* lightLevel = LightLevel.data();
    float* display = DisplayLevel.data();
    for (int row = 1; row < grid.Height - 1; ++row) {
        for (int n = row * width + 1, end = row * width + width - 1; n < end; ++n) {
            const float blurred = (lightLevel[n + width] + lightLevel[n - width] + lightLevel[n + 1] +
                                   lightLevel[n - 1] + lightLevel[n]) /
                                  5.0f;
            const float shown = (kept * display[n] + blurred) / divisor;
            display[n] = shown;
            // shown stays within 0 .. 1; the bound only guards the conversion.
            const auto grey = static_cast<std::uint32_t>(static_cast<int>(std::min(shown * 255.0f, 255.0f)));
            grid.Vertices[n].Diffuse = grey * 0x01010101u;
        }
    }
}
