// The shadow sweep: the grid is walked in lines across the light, starting where the light enters;
// each line reads and raises a horizon buffer, which is then smoothed for the next line.

#include "render/FourLanes.h"
#include "render/LightingConstants.h"
#include "render/TerrainLighting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

using namespace lighting;

namespace {
// For the height and the drop alike: next[j] = (2 cur[j-1] + 2 cur[j+1] + cur[j-2] + cur[j+2] +
// 4 cur[j]) / 10, in this order, for slots j in [from, to), floats [i, end) of the buffers.
constexpr int OneSlot = PerSlot, TwoSlots = 2 * PerSlot; // in floats

void SmoothFloats(const float* __restrict cur, float* __restrict next, int i, int end) {
    for (; i < end; ++i)
        next[i] = (2.0f * cur[i - OneSlot] + 2.0f * cur[i + OneSlot] + cur[i - TwoSlots] + cur[i + TwoSlots] +
                   4.0f * cur[i]) /
                  10.0f;
}

// Eight floats at a time where the processor has the instructions for it: the same operations on
// each lane, so the same results. Elsewhere the compiler may vectorise the plain loop itself.
__attribute__((target("avx"))) void SmoothSlotsWide(const float* __restrict cur, float* __restrict next,
                                                    int i, int end) {
    using Float8 = float __attribute__((vector_size(32)));
    for (; i + 8 <= end; i += 8) {
        Float8 oneBack, oneOn, twoBack, twoOn, here;
        __builtin_memcpy(&oneBack, cur + i - OneSlot, sizeof(Float8));
        __builtin_memcpy(&oneOn, cur + i + OneSlot, sizeof(Float8));
        __builtin_memcpy(&twoBack, cur + i - TwoSlots, sizeof(Float8));
        __builtin_memcpy(&twoOn, cur + i + TwoSlots, sizeof(Float8));
        __builtin_memcpy(&here, cur + i, sizeof(Float8));
        const Float8 smoothed = (2.0f * oneBack + 2.0f * oneOn + twoBack + twoOn + 4.0f * here) / 10.0f;
        __builtin_memcpy(next + i, &smoothed, sizeof(Float8));
    }
    SmoothFloats(cur, next, i, end);
}

void SmoothSlots(const float* __restrict cur, float* __restrict next, int from, int to) {
    static const bool wide = __builtin_cpu_supports("avx");
    if (wide)
        SmoothSlotsWide(cur, next, from * PerSlot, to * PerSlot);
    else
        SmoothFloats(cur, next, from * PerSlot, to * PerSlot);
}
} // namespace

// Slot positions are measured in thirds of this length. On a square terrain it is ExtentZ / Width, the
// cell along z. Elsewhere the cells along x and z may differ (up to 8 : 1 either way is supported):
// there it is the longer of the two cell edges as seen across the light, so that neighbouring
// vertices, along a line or from one line to the next, lie at most three slots apart across it (the
// smoothing then joins the horizon they raise) and no vertex lies further than 3 * max(Width, Height)
// slots from the centre.
float TerrainLighting::SlotCell(const Grid& grid, const Light& light) {
    const float alongZ = grid.ExtentZ / static_cast<float>(grid.Width);
    if (grid.ExtentX == grid.ExtentZ)
        return alongZ;
    const float alongX = grid.ExtentX / static_cast<float>(grid.Height);
    return std::max(alongZ * std::abs(light.HX), alongX * std::abs(light.HZ));
}

void TerrainLighting::ClearHorizon() {
    for (std::vector<float>& buffer : Horizon)
        std::fill(buffer.begin() + DirtyLo * PerSlot, buffer.begin() + DirtyHi * PerSlot, 0.0f);
    DirtyLo = DirtyHi = SlotLo;
}

// Line L reads and raises horizon buffer L % 2; after it, both buffers are smoothed into the other
// one of their pair for line L + 1. Every sweeper walks the same lines and keeps its own copy of the
// range of slots that may be non-zero, so all of them agree on it without sharing it. Per line:
// each sweeper places its share of the line's vertices and smooths its share of the slots for it
// (both only read what the last line left), then they meet; then each sweeps its share, when the
// shares' horizon slots are apart, or sweeper 0 sweeps the whole line; then they meet again, and
// sweeper 0 tells the passes that the line is done.
void TerrainLighting::Sweep(const Grid& grid, const Light& light, int worker, int workers, Call& call) {
    const int width = grid.Width;
    const int height = grid.Height;
    const int firstColumn = light.ZNegative ? width - 1 : 0;
    const int columnStep = light.ZNegative ? -1 : 1;
    const int firstRow = light.XNegative ? height - 1 : 0;
    const int rowStep = light.XNegative ? -1 : 1;
    const int lineCount = light.RowLines ? height : width;
    const int lineLength = light.RowLines ? width : height;
    const int lineDelta = light.RowLines ? rowStep * width : columnStep;
    const int stepDelta = light.RowLines ? columnStep : rowStep * width;
    const LineGeometry geometry{
        light.XNegative ? grid.ExtentX / 2.0f : -grid.ExtentX / 2.0f,
        light.ZNegative ? grid.ExtentZ / 2.0f : -grid.ExtentZ / 2.0f,
        SlotCell(grid, light),
        light.HX,
        light.HZ,
        light.NY,
    };
    // Shares of a line start on a group of four, as the placing takes them.
    const int share = ((lineLength + workers - 1) / workers + 3) / 4 * 4;
    const int from = std::min(lineLength, worker * share), to = std::min(lineLength, from + share);

    int dirtyLo = DirtyLo, dirtyHi = DirtyHi;
    int touchedLo = 0, touchedHi = 0; // slots the last line could raise
    int lineStart = firstRow * width + firstColumn;
    for (int line = 0; line <= lineCount; ++line, lineStart += lineDelta) {
        if (line < lineCount)
            PlaceLine(grid, lineStart, stepDelta, from, to, lineLength, light.RowLines, geometry, worker);
        if (line > 0) {
            int lo = dirtyLo, hi = dirtyHi;
            if (touchedLo < touchedHi) {
                lo = lo < hi ? std::min(lo, touchedLo) : touchedLo;
                hi = std::max(hi, touchedHi);
            }
            if (lo < hi) {
                // The kernel reaches two slots each way; the live range bounds it.
                const int smoothFrom = std::max(SlotLo, lo - 2), smoothTo = std::min(SlotHi, hi + 2);
                const int span = smoothTo - smoothFrom;
                SmoothSlots(Horizon[(line - 1) % 2].data(), Horizon[line % 2].data(),
                            smoothFrom + span * worker / workers, smoothFrom + span * (worker + 1) / workers);
                dirtyLo = smoothFrom;
                dirtyHi = smoothTo;
            }
        }
        SyncSweepers(workers);
        if (line == lineCount)
            break;

        // The slots each share can touch: k and k + 1 for its positions.
        float lowest = ShareLowest[0], highest = ShareHighest[0];
        bool apart = true;
        for (int a = 0; a < workers; ++a) {
            lowest = std::min(lowest, ShareLowest[static_cast<std::size_t>(a)]);
            highest = std::max(highest, ShareHighest[static_cast<std::size_t>(a)]);
            for (int b = a + 1; b < workers; ++b) {
                const float aLow = ShareLowest[static_cast<std::size_t>(a)],
                            aHigh = ShareHighest[static_cast<std::size_t>(a)];
                const float bLow = ShareLowest[static_cast<std::size_t>(b)],
                            bHigh = ShareHighest[static_cast<std::size_t>(b)];
                const bool aEmpty = aLow > aHigh, bEmpty = bLow > bHigh;
                apart = apart && (aEmpty || bEmpty || static_cast<int>(aHigh) + 1 < static_cast<int>(bLow) ||
                                  static_cast<int>(bHigh) + 1 < static_cast<int>(aLow));
            }
        }
        // Positions lie in [SlotLo, SlotHi - 1), so these conversions are in range.
        touchedLo = static_cast<int>(lowest);
        touchedHi = static_cast<int>(highest) + 2;

        float* buffer = Horizon[line % 2].data();
        const int row = lineStart / width, column = lineStart % width;
        const int shadowStep = light.RowLines ? columnStep : rowStep * ShadowStride;
        float* shadowOut = ShadowLevel.data() + static_cast<std::ptrdiff_t>(row) * ShadowStride + column;
        if (apart)
            SweepLine(shadowOut, buffer, shadowStep, from, to);
        else if (worker == 0)
            SweepLine(shadowOut, buffer, shadowStep, 0, lineLength);
        SyncSweepers(workers);
        LineSwept(call, line + 1, worker);
    }
    if (worker == 0) {
        DirtyLo = dirtyLo;
        DirtyHi = dirtyHi;
    }
}

void TerrainLighting::PlaceLine(const Grid& grid, int lineStart, int stepDelta, int from, int to, int length,
                                bool rowLine, const LineGeometry& line, int worker) {
    const Float4 firstSlot = Float4{} + static_cast<float>(SlotLo);
    const Float4 lastSlot = Float4{} + static_cast<float>(SlotHi - 1); // k + 1 must stay below SlotHi
    const Float4 centre = Float4{} + CentreSlot;
    const Float4 x0 = Float4{} + line.X0, z0 = Float4{} + line.Z0, cell = Float4{} + line.Cell;
    const Float4 hx = Float4{} + line.HX, hz = Float4{} + line.HZ, ny = Float4{} + line.NY;
    const Int4 noSlot = Int4{} - 1;
    int* __restrict slotAt = LineSlot.data();
    float* __restrict weightsAt = LineWeights.data();
    float* __restrict rayAt = LineRay.data();
    float* __restrict groundAt = LineGround.data();

    // Along a row x stays and z follows the columns; along a column the other way round.
    const int width = grid.Width;
    const int row = lineStart / width, column = lineStart % width;
    const int alongStep = rowLine ? stepDelta : stepDelta / width;
    const float* along = rowLine ? grid.ColumnZ + column : grid.RowX + row;
    const Float4 fixed = Float4{} + (rowLine ? grid.RowX[row] : grid.ColumnZ[column]);
    const SurfacePoint* points = grid.Points + lineStart;
    // Along a column the heights come from their column-major copy, when there is one.
    const float* columnHeights =
        rowLine || grid.ColumnHeights == nullptr
            ? nullptr
            : grid.ColumnHeights + static_cast<std::ptrdiff_t>(column) * grid.Height + row;

    // The slots that this share can raise: a vertex outside the extents widens the range to the
    // lowest slot, which costs only smoothing work.
    Float4 lowest = lastSlot, highest = firstSlot;

    auto place = [&](int a, int b, int c, int d, int step) {
        const std::ptrdiff_t as = alongStep, ds = stepDelta;
        const Float4 varying{along[a * as], along[b * as], along[c * as], along[d * as]};
        const Float4 y = columnHeights != nullptr
                             ? Float4{columnHeights[a * as], columnHeights[b * as], columnHeights[c * as],
                                      columnHeights[d * as]}
                             : Float4{points[a * ds].Y, points[b * ds].Y, points[c * ds].Y, points[d * ds].Y};
        const Float4 x = rowLine ? fixed : varying;
        const Float4 z = rowLine ? varying : fixed;
        const Float4 dx = x - x0;
        const Float4 dz = z - z0;
        const Float4 p = (hz * dx - hx * dz) / cell * static_cast<float>(SlotsPerCell) + centre;
        // A vertex outside the terrain's extents has no horizon slot (-1): it stays lit. Its
        // position is replaced before the conversion, which is only defined in range.
        const Int4 inRange = (p >= firstSlot) & (p < lastSlot);
        const Float4 position = inRange ? p : firstSlot;
        const Int4 k = __builtin_convertvector(position, Int4);
        const Float4 kf = __builtin_convertvector(k, Float4);
        const Float4 wk = 1.0f - (position - kf);
        const Float4 wk1 = 1.0f - ((kf + 1.0f) - position);
        lowest = position < lowest ? position : lowest;
        highest = position > highest ? position : highest;
        // Where the slot's pair of values starts in the horizon buffer.
        const Int4 slot = inRange ? k * PerSlot : noSlot;
        std::memcpy(slotAt + step, &slot, sizeof slot);
        // The two weights of a vertex side by side, as the sweep takes them.
        Store4(weightsAt + 2 * step, __builtin_shufflevector(wk, wk1, 0, 4, 1, 5));
        Store4(weightsAt + 2 * step + 4, __builtin_shufflevector(wk, wk1, 2, 6, 3, 7));
        Store4(rayAt + step, y - (hx * dx + hz * dz) * ny);
        Store4(groundAt + step, y);
    };

    int step = from;
    for (; step + 4 <= to; step += 4)
        place(step, step + 1, step + 2, step + 3, step);
    if (step < to) {
        // A last, partial group at the line's end: the line's last vertex stands in for the missing
        // ones, and their results land in padding that the sweep never reads.
        const int last = length - 1;
        place(step, std::min(step + 1, last), std::min(step + 2, last), last, step);
    }
    ShareLowest[static_cast<std::size_t>(worker)] =
        std::min(std::min(lowest[0], lowest[1]), std::min(lowest[2], lowest[3]));
    ShareHighest[static_cast<std::size_t>(worker)] =
        std::max(std::max(highest[0], highest[1]), std::max(highest[2], highest[3]));
}

void TerrainLighting::SweepLine(float* shadowOut, float* horizonBuffer, int shadowStep, int from, int to) {
    const int* __restrict slotAt = LineSlot.data();
    const float* __restrict weightsAt = LineWeights.data() + 2 * from;
    const float* __restrict rayAt = LineRay.data();
    const float* __restrict groundAt = LineGround.data();
    // Only this share's slots are touched: apart from every other share's.
    float* __restrict horizon = horizonBuffer;
    const std::ptrdiff_t delta = shadowStep;
    for (std::ptrdiff_t step = from; step < to; ++step, weightsAt += 2) {
        const int slot = slotAt[step];
        float shadow = 1.0f;
        if (slot >= 0) {
            const float h = rayAt[step];
            const Float4 weights = Load4(weightsAt);
            const Float4 weight = __builtin_shufflevector(weights, weights, 0, 0, 1, 1); // wk, wk, wk1, wk1
            float* values = horizon + slot;
            const Float4 stored = Load4(values); // height k, drop k, height k + 1, drop k + 1
            const Float4 weighted = weight * stored;
            const float horizonAtP = weighted[0] + weighted[2];
            if (h < horizonAtP) {
                const float dropAtP = weighted[1] + weighted[3];
                const float f = ((h - dropAtP) / (horizonAtP - dropAtP)) * (h / horizonAtP);
                const float g = (f + 2.0f) / 3.0f;
                shadow = g * g * g * g * g * g;
            } else {
                // Lit: both slots' heights move towards the ray, then both drops towards how far
                // the new height lies above the ground here.
                const Float4 raised = stored + weight * (h - stored); // heights in lanes 0, 2
                const Float4 heights = __builtin_shufflevector(raised, raised, 0, 0, 2, 2);
                const Float4 dropped = stored + weight * ((heights - groundAt[step]) - stored);
                Store4(values, __builtin_shufflevector(raised, dropped, 0, 5, 2, 7));
            }
        }
        shadowOut[step * delta] = shadow;
    }
}
