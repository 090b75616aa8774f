#include "lighting/LightingLevels.h"

#include "lighting/FourLanes.h"
#include "lighting/LightingConstants.h"

#include <algorithm>

using namespace lighting;

namespace {
// Floats between the end of one row's shadow and the start of the next.
constexpr int ShadowPadding = 16;
} // namespace

void LightingLevels::Fit(int width, int height, int workers) {
    // Each worker's scratch row on cache lines of its own.
    FacingStride = (width + 4 + 15) / 16 * 16;
    if (Facing.size() < static_cast<std::size_t>(FacingStride) * static_cast<std::size_t>(workers))
        Facing.resize(static_cast<std::size_t>(FacingStride) * static_cast<std::size_t>(workers));
    if (width == FittedWidth && height == FittedHeight)
        return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    ShadowStride = width + ShadowPadding;
    ShadowLevel.resize(static_cast<std::size_t>(ShadowStride) * static_cast<std::size_t>(height));
    // The border of the light level is never written and must read 0.0, whatever an earlier grid
    // shape left there.
    LightLevel.assign(count, 0.0f);
    // Entries start at 1.0 the first time a grid reaches them and then carry over between calls.
    if (DisplayLevel.size() < count)
        DisplayLevel.resize(count, 1.0f);
    Grey.resize(count);
    FittedWidth = width;
    FittedHeight = height;
}

void LightingLevels::LightEverything() {
    std::fill(ShadowLevel.begin(), ShadowLevel.end(), 1.0f);
}

LIGHTING_WIDE_CLONES void LightingLevels::Shade(const TerrainLightingGrid& grid, const LightDirection& light,
                                                const LitSpan& span, int worker) {
    const int width = grid.Width;
    const std::ptrdiff_t stride = ShadowStride;
    const int endColumn = span.EndColumn;
    const float nx = light.NX, ny = light.NY, nz = light.NZ;
    const SurfacePoint* __restrict points = grid.Points;
    const float* __restrict shadow = ShadowLevel.data();
    float* __restrict lightLevel = LightLevel.data();
    float* __restrict facingAt = Facing.data() + static_cast<std::ptrdiff_t>(FacingStride) * worker;
    for (int row = span.FirstRow; row < span.EndRow; ++row) {
        const int rowStart = row * width;
        // The normals of four vertices, loaded together, then transposed.
        int column = span.FirstColumn;
        for (; column + 4 <= endColumn; column += 4) {
            Float4 normalX, normalY, normalZ;
            Transpose3(&points[rowStart + column].NX, normalX, normalY, normalZ);
            Store4(facingAt + column, normalX * nx + normalY * ny + normalZ * nz);
        }
        for (; column < endColumn; ++column) {
            const SurfacePoint& point = points[rowStart + column];
            facingAt[column] = point.NX * nx + point.NY * ny + point.NZ * nz;
        }
        for (int c = span.FirstColumn; c < endColumn; ++c) {
            const int n = rowStart + c;
            const float* s = shadow + row * stride + c;
            const float blurred = (s[stride] + s[-stride] + s[1] + s[-1] + s[0]) / 5.0f;
            const float d = facingAt[c];
            // Ambient only when the light meets the surface from behind: 0.8 * 0 adds nothing.
            const float facing = d > 0.0f ? 0.0f : -d;
            const float diffuse = Ambient + DiffuseWeight * facing;
            lightLevel[n] = ClampLevel(diffuse * blurred);
        }
    }
}

LIGHTING_WIDE_CLONES void LightingLevels::Colour(const TerrainLightingGrid& grid, int smoothing,
                                                 const LitSpan& span) {
    const int width = grid.Width;
    const float kept = static_cast<float>(smoothing - 1);
    const float divisor = static_cast<float>(smoothing);
    const float* __restrict lightLevel = LightLevel.data();
    float* __restrict display = DisplayLevel.data();
    std::uint8_t* __restrict grey = Grey.data();
    for (int row = span.FirstRow; row < span.EndRow; ++row) {
        for (int n = row * width + span.FirstColumn, end = row * width + span.EndColumn; n < end; ++n) {
            const float blurred = (lightLevel[n + width] + lightLevel[n - width] + lightLevel[n + 1] +
                                   lightLevel[n - 1] + lightLevel[n]) /
                                  5.0f;
            const float shown = (kept * display[n] + blurred) / divisor;
            display[n] = shown;
            // shown stays within 0 .. 1; the bound only guards the conversion.
            grey[n] = static_cast<std::uint8_t>(static_cast<int>(std::min(shown * 255.0f, 255.0f)));
        }
    }
}
