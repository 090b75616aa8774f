#include "render/HorizonSweep.h"

#include "render/FourLanes.h"
#include "render/LightingConstants.h"
#include "render/LightingPool.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

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
    auto smooth8 = [&](int at) {
        Float8 oneBack, oneOn, twoBack, twoOn, here;
        __builtin_memcpy(&oneBack, cur + at - OneSlot, sizeof(Float8));
        __builtin_memcpy(&oneOn, cur + at + OneSlot, sizeof(Float8));
        __builtin_memcpy(&twoBack, cur + at - TwoSlots, sizeof(Float8));
        __builtin_memcpy(&twoOn, cur + at + TwoSlots, sizeof(Float8));
        __builtin_memcpy(&here, cur + at, sizeof(Float8));
        const Float8 smoothed = (2.0f * oneBack + 2.0f * oneOn + twoBack + twoOn + 4.0f * here) / 10.0f;
        __builtin_memcpy(next + at, &smoothed, sizeof(Float8));
    };
    for (; i + 16 <= end; i += 16) // two at a time: half the loop's own instructions
        smooth8(i), smooth8(i + 8);
    for (; i + 8 <= end; i += 8)
        smooth8(i);
    SmoothFloats(cur, next, i, end);
}

void SmoothSlots(const float* __restrict cur, float* __restrict next, int from, int to) {
    static const bool wide = __builtin_cpu_supports("avx");
    if (wide)
        SmoothSlotsWide(cur, next, from * PerSlot, to * PerSlot);
    else
        SmoothFloats(cur, next, from * PerSlot, to * PerSlot);
}
void Meet(LightingPool* pool, int sweepers) {
    if (sweepers > 1)
        pool->Sync(sweepers);
}
} // namespace

// Slot positions are measured in thirds of this length. On a square terrain it is ExtentZ / Width, the
// cell along z. Elsewhere the cells along x and z may differ (up to 8 : 1 either way is supported):
// there it is the longer of the two cell edges as seen across the light, so that neighbouring
// vertices, along a line or from one line to the next, lie at most three slots apart across it (the
// smoothing then joins the horizon they raise) and no vertex lies further than 3 * max(Width, Height)
// slots from the centre.
float HorizonSweep::SlotCell(const TerrainLightingGrid& grid, const LightDirection& light) {
    const float alongZ = grid.ExtentZ / static_cast<float>(grid.Width);
    if (grid.ExtentX == grid.ExtentZ)
        return alongZ;
    const float alongX = grid.ExtentX / static_cast<float>(grid.Height);
    return std::max(alongZ * std::abs(light.HX), alongX * std::abs(light.HZ));
}

// The order of the walk and the geometry of its lines.
struct HorizonSweep::Walk {
    bool RowLines;            // lines are rows
    int Count, Length;        // lines, and vertices in a line
    int FirstStart;           // vertex number at which line 0 starts
    int LineDelta, StepDelta; // vertex numbers from a line to the next, from a vertex to the next along it
    int ColumnStep, RowStep;  // +1 or -1
    float X0, Z0;             // entry corner
    float Cell;               // SlotCell
    float HX, HZ, NY;
};

// Lines lie across the light's main horizontal direction and start where the light enters.
HorizonSweep::Walk HorizonSweep::WalkOf(const TerrainLightingGrid& grid, const LightDirection& light) {
    const int width = grid.Width, height = grid.Height;
    const int columnStep = light.ZNegative ? -1 : 1, rowStep = light.XNegative ? -1 : 1;
    const int firstColumn = light.ZNegative ? width - 1 : 0, firstRow = light.XNegative ? height - 1 : 0;
    return {light.RowLines,
            light.RowLines ? height : width,
            light.RowLines ? width : height,
            firstRow * width + firstColumn,
            light.RowLines ? rowStep * width : columnStep,
            light.RowLines ? columnStep : rowStep * width,
            columnStep,
            rowStep,
            light.XNegative ? grid.ExtentX / 2.0f : -grid.ExtentX / 2.0f,
            light.ZNegative ? grid.ExtentZ / 2.0f : -grid.ExtentZ / 2.0f,
            SlotCell(grid, light),
            light.HX,
            light.HZ,
            light.NY};
}

HorizonSweep::Share HorizonSweep::ShareOf(int length, int sweeper, int sweepers) {
    const int share = ((length + sweepers - 1) / sweepers + 7) / 8 * 8;
    const int first = std::min(length, sweeper * share);
    return {first, std::min(length, first + share)};
}

void HorizonSweep::Fit(int width, int height, int sweepers) {
    if (Reaches.size() < static_cast<std::size_t>(sweepers))
        Reaches.resize(static_cast<std::size_t>(sweepers));
    if (width == FittedWidth && height == FittedHeight)
        return;
    // Positions lie within 3 * max(width, height) slots of the centre (SlotCell).
    const int span = SlotsPerCell * (width + height);
    const int centre = std::max(LowestCentreSlot, span + 2);
    const std::size_t slots = static_cast<std::size_t>(centre + span + 2);
    for (std::vector<float>& buffer : Horizon)
        buffer.assign(slots * PerSlot, 0.0f);
    SlotLo = centre - span;
    SlotHi = centre + span;
    CentreSlot = static_cast<float>(centre);
    Dirty = {SlotLo, SlotLo};
    // Lines are placed eight vertices at a time: room for a last, partly filled group.
    const std::size_t lineRoom = static_cast<std::size_t>(std::max(width, height) + 8);
    LineSlot.resize(lineRoom);
    LineWeights.resize(2 * lineRoom);
    LineRay.resize(lineRoom);
    LineGround.resize(lineRoom);
    FittedWidth = width;
    FittedHeight = height;
}

void HorizonSweep::Clear() {
    for (std::vector<float>& buffer : Horizon)
        std::fill(buffer.begin() + Dirty.Lo * PerSlot, buffer.begin() + Dirty.Hi * PerSlot, 0.0f);
    Dirty = {SlotLo, SlotLo};
}

// Line L reads and raises horizon buffer L % 2; after it, both buffers are smoothed into the other
// one of their pair for line L + 1. Every sweeper keeps its own copy of the range of slots that may
// be non-zero, so all of them agree on it without sharing it. Per line: each sweeper places its share
// of the line's vertices and smooths its share of the slots for it (both only read what the last line
// left), then they meet; then each sweeps its share, when the shares' horizon slots are apart, or
// sweeper 0 sweeps the whole line; then they meet again, and the line is reported.
void HorizonSweep::Run(const TerrainLightingGrid& grid, const LightDirection& light, Output out, int sweeper,
                       int sweepers, LightingPool* pool, Listener& listener) {
    const Walk walk = WalkOf(grid, light);
    const Share share = ShareOf(walk.Length, sweeper, sweepers);
    const int shadowStep = light.RowLines ? walk.ColumnStep : walk.RowStep * out.Stride;
    Slots dirty = Dirty, touched; // touched: the slots the last line could raise
    Slots own = Even;             // the slots this sweeper smooths, when not an even share
    int lineStart = walk.FirstStart;
    for (int line = 0; line <= walk.Count; ++line, lineStart += walk.LineDelta) {
        if (line < walk.Count)
            PlaceLine(grid, walk, lineStart, share, sweeper);
        if (line > 0)
            dirty = Smooth(line, dirty, touched, own, sweeper, sweepers);
        Meet(pool, sweepers);
        if (line == walk.Count)
            break;
        const bool apart = SharesApart(sweepers, touched);
        own = apart && sweepers > 1 ? OwnSlots(sweeper, sweepers) : Even;
        const int row = lineStart / grid.Width, column = lineStart % grid.Width;
        float* shadowOut = out.Data + static_cast<std::ptrdiff_t>(row) * out.Stride + column;
        float* buffer = Horizon[line % 2].data();
        if (apart)
            SweepLine(shadowOut, buffer, shadowStep, share.First, share.End);
        else if (sweeper == 0)
            SweepLine(shadowOut, buffer, shadowStep, 0, walk.Length);
        Meet(pool, sweepers);
        listener.Swept(line + 1, sweeper);
    }
    if (sweeper == 0)
        Dirty = dirty;
}

// Smooths this sweeper's part of the slots that may be non-zero for line `line`; the new such range.
HorizonSweep::Slots HorizonSweep::Smooth(int line, Slots dirty, Slots touched, Slots own, int sweeper,
                                         int sweepers) {
    Slots range = dirty;
    if (touched.Lo < touched.Hi) {
        range.Lo = range.Lo < range.Hi ? std::min(range.Lo, touched.Lo) : touched.Lo;
        range.Hi = std::max(range.Hi, touched.Hi);
    }
    if (range.Lo >= range.Hi)
        return dirty;
    // The kernel reaches two slots each way; the live range bounds it.
    const int from = std::max(SlotLo, range.Lo - 2), to = std::min(SlotHi, range.Hi + 2);
    const int span = to - from;
    const bool even = own.Lo == Even.Lo && own.Hi == Even.Hi;
    const int mineFrom = even ? from + span * sweeper / sweepers : std::clamp(own.Lo, from, to);
    const int mineTo = even ? from + span * (sweeper + 1) / sweepers : std::clamp(own.Hi, from, to);
    if (mineFrom < mineTo)
        SmoothSlots(Horizon[(line - 1) % 2].data(), Horizon[line % 2].data(), mineFrom, mineTo);
    return {from, to};
}

// The slots nearer the middle of this sweeper's positions on the line than to any other share's: it
// smooths them for the next line, whose positions lie close by, so that the horizon's cache lines
// that a sweeper sweeps are mostly the ones it smoothed. Every sweeper finds the same boundaries.
HorizonSweep::Slots HorizonSweep::OwnSlots(int sweeper, int sweepers) const {
    const Reach& mine = Reaches[static_cast<std::size_t>(sweeper)];
    if (mine.Lowest > mine.Highest)
        return {0, 0}; // no positions: nothing to smooth
    const float centre = (mine.Lowest + mine.Highest) / 2.0f;
    Slots own{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    for (int other = 0; other < sweepers; ++other) {
        const Reach& theirs = Reaches[static_cast<std::size_t>(other)];
        if (other == sweeper || theirs.Lowest > theirs.Highest)
            continue;
        const float their = (theirs.Lowest + theirs.Highest) / 2.0f;
        const int middle = static_cast<int>(std::floor((centre + their) / 2.0f));
        if (their < centre || (their == centre && other < sweeper))
            own.Lo = std::max(own.Lo, middle);
        else
            own.Hi = std::min(own.Hi, middle);
    }
    return own;
}

// Whether the slots each share can touch (k and k + 1 for its positions) are apart from every other
// share's; `touched` becomes the slots the whole line can touch.
bool HorizonSweep::SharesApart(int sweepers, Slots& touched) const {
    float lowest = Reaches[0].Lowest, highest = Reaches[0].Highest;
    bool apart = true;
    for (int a = 0; a < sweepers; ++a) {
        const Reach& one = Reaches[static_cast<std::size_t>(a)];
        lowest = std::min(lowest, one.Lowest);
        highest = std::max(highest, one.Highest);
        for (int b = a + 1; b < sweepers; ++b) {
            const Reach& other = Reaches[static_cast<std::size_t>(b)];
            const bool oneEmpty = one.Lowest > one.Highest, otherEmpty = other.Lowest > other.Highest;
            apart = apart && (oneEmpty || otherEmpty ||
                              static_cast<int>(one.Highest) + 1 < static_cast<int>(other.Lowest) ||
                              static_cast<int>(other.Highest) + 1 < static_cast<int>(one.Lowest));
        }
    }
    // Positions lie in [SlotLo, SlotHi - 1), so these conversions are in range.
    touched = {static_cast<int>(lowest), static_cast<int>(highest) + 2};
    return apart;
}

namespace {
using Float8 = float __attribute__((vector_size(32)));
using Int8 = int __attribute__((vector_size(32)));

// Places vertices eight at a time: their slots, weights, ray and ground heights.
struct Placer {
    Float8 FirstSlot, LastSlot, Centre, X0, Z0, Cell, HX, HZ, NY, Fixed;
    bool RowLine;
    const float* Along;         // the world coordinate that varies along the line
    const SurfacePoint* Points; // from the line's start
    const float* ColumnHeights; // along a column, the heights' column-major copy, or null
    std::ptrdiff_t AlongStep, PointStep;
    int* __restrict SlotAt;
    float* __restrict WeightsAt;
    float* __restrict RayAt;
    float* __restrict GroundAt;
    Float8 Lowest, Highest;

    // Vertices at[0 .. 7] of the line, whose results go to positions step .. step + 7.
    __attribute__((always_inline)) void operator()(const int (&at)[8], int step) {
        Float8 varying, y;
        for (int lane = 0; lane < 8; ++lane) {
            varying[lane] = Along[at[lane] * AlongStep];
            y[lane] = ColumnHeights != nullptr ? ColumnHeights[at[lane] * AlongStep]
                                               : Points[at[lane] * PointStep].Y;
        }
        const Float8 dx = (RowLine ? Fixed : varying) - X0;
        const Float8 dz = (RowLine ? varying : Fixed) - Z0;
        const Float8 p = (HZ * dx - HX * dz) / Cell * static_cast<float>(SlotsPerCell) + Centre;
        // A vertex outside the terrain's extents has no horizon slot (-1): it stays lit. Its position
        // is replaced before the conversion, which is only defined in range.
        const Int8 inRange = (p >= FirstSlot) & (p < LastSlot);
        const Float8 position = inRange ? p : FirstSlot;
        const Int8 k = __builtin_convertvector(position, Int8);
        const Float8 kf = __builtin_convertvector(k, Float8);
        const Float8 wk = 1.0f - (position - kf);
        const Float8 wk1 = 1.0f - ((kf + 1.0f) - position);
        Lowest = position < Lowest ? position : Lowest;
        Highest = position > Highest ? position : Highest;
        // Where the slot's pair of values starts in the horizon buffer.
        const Int8 slot = inRange ? k * PerSlot : Int8{} - 1;
        std::memcpy(SlotAt + step, &slot, sizeof slot);
        // The two weights of a vertex side by side, as the sweep takes them.
        const Float8 low = __builtin_shufflevector(wk, wk1, 0, 8, 1, 9, 2, 10, 3, 11);
        const Float8 high = __builtin_shufflevector(wk, wk1, 4, 12, 5, 13, 6, 14, 7, 15);
        std::memcpy(WeightsAt + 2 * step, &low, sizeof low);
        std::memcpy(WeightsAt + 2 * step + 8, &high, sizeof high);
        const Float8 ray = y - (HX * dx + HZ * dz) * NY;
        std::memcpy(RayAt + step, &ray, sizeof ray);
        std::memcpy(GroundAt + step, &y, sizeof y);
    }
};
} // namespace

LIGHTING_WIDE_CLONES void HorizonSweep::PlaceLine(const TerrainLightingGrid& grid, const Walk& walk,
                                                  int lineStart, Share share, int sweeper) {
    // Along a row x stays and z follows the columns; along a column the other way round.
    const int width = grid.Width;
    const int row = lineStart / width, column = lineStart % width;
    const bool rowLine = walk.RowLines;
    const Float8 firstSlot = Float8{} + static_cast<float>(SlotLo);
    const Float8 lastSlot = Float8{} + static_cast<float>(SlotHi - 1); // k + 1 must stay below SlotHi
    Placer place{firstSlot,
                 lastSlot,
                 Float8{} + CentreSlot,
                 Float8{} + walk.X0,
                 Float8{} + walk.Z0,
                 Float8{} + walk.Cell,
                 Float8{} + walk.HX,
                 Float8{} + walk.HZ,
                 Float8{} + walk.NY,
                 Float8{} + (rowLine ? grid.RowX[row] : grid.ColumnZ[column]),
                 rowLine,
                 rowLine ? grid.ColumnZ + column : grid.RowX + row,
                 grid.Points + lineStart,
                 rowLine || grid.ColumnHeights == nullptr
                     ? nullptr
                     : grid.ColumnHeights + static_cast<std::ptrdiff_t>(column) * grid.Height + row,
                 rowLine ? walk.StepDelta : walk.StepDelta / width,
                 walk.StepDelta,
                 LineSlot.data(),
                 LineWeights.data(),
                 LineRay.data(),
                 LineGround.data(),
                 lastSlot,
                 firstSlot};
    int step = share.First;
    for (; step + 8 <= share.End; step += 8)
        place({step, step + 1, step + 2, step + 3, step + 4, step + 5, step + 6, step + 7}, step);
    if (step < share.End) {
        // A last, partial group at the line's end: the line's last vertex stands in for the missing
        // ones, and their results land in padding that the sweep never reads.
        int at[8];
        for (int lane = 0; lane < 8; ++lane)
            at[lane] = std::min(step + lane, walk.Length - 1);
        place(at, step);
    }
    // The slots that this share can raise: a vertex outside the extents widens the range to the
    // lowest slot, which costs only smoothing work.
    Reach& reach = Reaches[static_cast<std::size_t>(sweeper)];
    reach.Lowest = place.Lowest[0];
    reach.Highest = place.Highest[0];
    for (int lane = 1; lane < 8; ++lane) {
        reach.Lowest = std::min(reach.Lowest, place.Lowest[lane]);
        reach.Highest = std::max(reach.Highest, place.Highest[lane]);
    }
}

LIGHTING_WIDE_CLONES void HorizonSweep::SweepLine(float* shadowOut, float* horizonBuffer, int shadowStep,
                                                  int from, int to) {
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
