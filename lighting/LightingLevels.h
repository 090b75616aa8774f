#pragma once

#include "lighting/LargePageAllocator.h"
#include "lighting/LightDirection.h"
#include "lighting/TerrainLightingGrid.h"

#include <cstdint>
#include <vector>

// The lighting's per-vertex levels and the pass between them: the shadow the sweep leaves, blurred
// and multiplied by the diffuse term (the light level), blurred again and eased into the shown
// brightness and its grey level. The pass may run over disjoint spans on different threads at
// once, each worker with its own scratch rows.
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

    // The shown brightness and grey level of span's vertices, from the shadow factors of the span
    // and of two rows and columns on each side of it.
    void ShadeAndColour(const TerrainLightingGrid& grid, const LightDirection& light, int smoothing,
                        const LitSpan& span, int worker);

    const std::uint8_t* Greys() const { return Grey.data(); }

private:
    // Per vertex, its shadow factor, row by row, each row ShadowStride floats from the last: a little
    // more than a row, so that a sweep down the columns does not find all its rows in the same few
    // cache sets.
    LargeVector<float> ShadowLevel;
    int ShadowStride = 0;
    LargeVector<float> DisplayLevel; // per vertex: shown brightness, carried between calls
    LargeVector<std::uint8_t> Grey;  // per vertex: the shown brightness as a grey level
    // Per worker, a row's diffuse dot products and three rows of light levels, each row on cache
    // lines of its own.
    static constexpr int ScratchRows = 4;
    LargeVector<float> Scratch;
    int ScratchStride = 0;
    int FittedWidth = 0, FittedHeight = 0;
};
