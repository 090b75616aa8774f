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
    // Each worker's scratch rows on cache lines of their own.
    ScratchStride = (width + 4 + 15) / 16 * 16;
    const std::size_t scratch =
        static_cast<std::size_t>(ScratchStride) * ScratchRows * static_cast<std::size_t>(workers);
    if (Scratch.size() < scratch)
        Scratch.resize(scratch);
    if (width == FittedWidth && height == FittedHeight)
        return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    ShadowStride = width + ShadowPadding;
    ShadowLevel.resize(static_cast<std::size_t>(ShadowStride) * static_cast<std::size_t>(height));
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

namespace {
// The light level of row `row`'s vertices [from - 1, end + 1) into out, by absolute column: the
// blurred shadow times the diffuse term, 0.0 on the grid's border.
[[gnu::always_inline]] inline void ShadeRow(const TerrainLightingGrid& grid, const LightDirection& light,
                                            const float* __restrict shadow, std::ptrdiff_t stride, int row,
                                            int from, int end, float* __restrict facing,
                                            float* __restrict out) {
    const int width = grid.Width;
    if (row == 0 || row == grid.Height - 1) {
        std::fill(out + from - 1, out + end + 1, 0.0f);
        return;
    }
    out[from - 1] = 0.0f; // the border, unless the loop below writes it
    out[end] = 0.0f;
    from = std::max(from - 1, 1);
    end = std::min(end + 1, width - 1);
    const float nx = light.NX, ny = light.NY, nz = light.NZ;
    const SurfacePoint* __restrict points = grid.Points + static_cast<std::ptrdiff_t>(row) * width;
    // The normals of four vertices, loaded together, then transposed.
    int column = from;
    for (; column + 4 <= end; column += 4) {
        Float4 normalX, normalY, normalZ;
        Transpose3(&points[column].NX, normalX, normalY, normalZ);
        Store4(facing + column, normalX * nx + normalY * ny + normalZ * nz);
    }
    for (; column < end; ++column)
        facing[column] = points[column].NX * nx + points[column].NY * ny + points[column].NZ * nz;
    const float* __restrict s = shadow + row * stride;
    for (int c = from; c < end; ++c) {
        const float blurred = (s[c + stride] + s[c - stride] + s[c + 1] + s[c - 1] + s[c]) / 5.0f;
        const float d = facing[c];
        // Ambient only when the light meets the surface from behind: 0.8 * 0 adds nothing.
        const float facingLight = d > 0.0f ? 0.0f : -d;
        out[c] = ClampLevel((Ambient + DiffuseWeight * facingLight) * blurred);
    }
}

// Grids whose levels no cache holds, how many rows ahead of their colouring their memory is asked
// for, and in pieces of how many columns: a span's rows are short runs far apart, which the
// processor's own prefetching learns too late, and asking for a whole row at once stalls on the
// misses already outstanding, so each piece of a row asks for the same piece further on.
constexpr long long PrefetchedVertices = 1 << 20;
constexpr int RowsAhead = 2;
constexpr int PrefetchColumns = 64;

[[gnu::always_inline]] inline void Prefetch(const void* from, const void* end) {
    for (auto* at = static_cast<const char*>(from); at < static_cast<const char*>(end); at += 64)
        __builtin_prefetch(at);
}

// What colouring row `row` of columns [from, end) reads that it has not read before.
[[gnu::always_inline]] inline void PrefetchRow(const TerrainLightingGrid& grid, const float* shadow,
                                               std::ptrdiff_t stride, const float* display,
                                               const std::uint8_t* grey, int row, int from, int end) {
    const std::ptrdiff_t width = grid.Width;
    const SurfacePoint* points = grid.Points + (row + 1) * width;
    Prefetch(points + from - 1, points + end + 1);
    const float* shadowRow = shadow + std::min(row + 2, grid.Height - 1) * stride;
    Prefetch(shadowRow + from - 1, shadowRow + end + 1);
    Prefetch(display + row * width + from, display + row * width + end);
    Prefetch(grey + row * width + from, grey + row * width + end);
}
} // namespace

// Row by row, the light levels of the row below are shaded into the worker's three rolling rows, and
// the row between them is coloured: the light levels never leave the worker's cache. The rows and
// columns around the span are shaded again by each span that borders them.
LIGHTING_WIDE_CLONES void LightingLevels::ShadeAndColour(const TerrainLightingGrid& grid,
                                                         const LightDirection& light, int smoothing,
                                                         const LitSpan& span, int worker) {
    if (span.Empty())
        return;
    const int width = grid.Width, from = span.FirstColumn, end = span.EndColumn;
    const std::ptrdiff_t stride = ShadowStride;
    const float kept = static_cast<float>(smoothing - 1);
    const float divisor = static_cast<float>(smoothing);
    const float* __restrict shadow = ShadowLevel.data();
    float* __restrict display = DisplayLevel.data();
    std::uint8_t* __restrict grey = Grey.data();
    float* scratch = Scratch.data() + static_cast<std::ptrdiff_t>(ScratchStride) * ScratchRows * worker;
    float* facing = scratch;
    float* above = scratch + ScratchStride;
    float* here = above + ScratchStride;
    float* below = here + ScratchStride;
    ShadeRow(grid, light, shadow, stride, span.FirstRow - 1, from, end, facing, above);
    ShadeRow(grid, light, shadow, stride, span.FirstRow, from, end, facing, here);
    const bool far = static_cast<long long>(width) * grid.Height >= PrefetchedVertices;
    const int pieceColumns = far ? PrefetchColumns : end - from;
    for (int row = span.FirstRow; row < span.EndRow; ++row) {
        ShadeRow(grid, light, shadow, stride, row + 1, from, end, facing, below);
        const float* __restrict up = above;
        const float* __restrict mid = here;
        const float* __restrict down = below;
        float* __restrict shownRow = display + static_cast<std::ptrdiff_t>(row) * width;
        std::uint8_t* __restrict greyRow = grey + static_cast<std::ptrdiff_t>(row) * width;
        for (int piece = from; piece < end; piece += pieceColumns) {
            const int pieceEnd = std::min(piece + pieceColumns, end);
            if (far && row + RowsAhead < span.EndRow)
                PrefetchRow(grid, shadow, stride, display, grey, row + RowsAhead, piece, pieceEnd);
            for (int c = piece; c < pieceEnd; ++c) {
                const float blurred = (down[c] + up[c] + mid[c + 1] + mid[c - 1] + mid[c]) / 5.0f;
                const float shown = (kept * shownRow[c] + blurred) / divisor;
                shownRow[c] = shown;
                // shown stays within 0 .. 1; the bound only guards the conversion.
                greyRow[c] = static_cast<std::uint8_t>(static_cast<int>(std::min(shown * 255.0f, 255.0f)));
            }
        }
        std::swap(above, here);
        std::swap(here, below);
    }
}
