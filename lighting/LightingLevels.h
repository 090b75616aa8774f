#pragma once

#include "lighting/LargePageAllocator.h"
#include "lighting/LightDirection.h"
#include "lighting/TerrainLightingGrid.h"

#include <cstdint>
#include <vector>

// The lighting's per-vertex levels and the passes between them: the shadow the sweep leaves, blurred
// and multiplied by the diffuse term (Shade), blurred again and eased into the shown brightness and
// its grey level (Colour). Passes over disjoint spans may run on different threads at once, each
// worker with its own scratch row.
class LightingLevels {
public:
    // Sized for the grid when its shape changes; the shown brightness carries over otherwise.
    void Fit(int width, int height, int workers);

    // Where the sweep writes the shadow factors: vertex (row, column) at Data[row * Stride + column].
    struct Shadow {
        float* Data;
        int Stride;
    };
    Shadow ShadowField() { return {ShadowLevel.data(), ShadowStride}; }
    void LightEverything(); // every shadow factor 1.0: no shadows

    void Shade(const TerrainLightingGrid& grid, const LightDirection& light, const LitSpan& span, int worker);
    void Colour(const TerrainLightingGrid& grid, int smoothing, const LitSpan& span);

    const std::uint8_t* Greys() const { return Grey.data(); }

private:
    // Per vertex, its shadow factor, row by row, each row ShadowStride floats from the last: a little
    // more than a row, so that a sweep down the columns does not find all its rows in the same few
    // cache sets.
    LargeVector<float> ShadowLevel;
    int ShadowStride = 0;
    LargeVector<float> LightLevel;   // per vertex: blurred shadow times diffuse; border stays 0.0
    LargeVector<float> DisplayLevel; // per vertex: shown brightness, carried between calls
    LargeVector<std::uint8_t> Grey;  // per vertex: the shown brightness as a grey level
    LargeVector<float> Facing; // per worker, a row's diffuse dot products, each on cache lines of its own
    int FacingStride = 0;
    int FittedWidth = 0, FittedHeight = 0;
};
