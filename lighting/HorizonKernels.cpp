#include "lighting/HorizonKernels.h"

#include "lighting/FourLanes.h"
#include "lighting/LightingConstants.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

using namespace lighting;

namespace horizon {
namespace {
constexpr int OneSlot = PerSlot, TwoSlots = 2 * PerSlot; // in floats
using Float8 = float __attribute__((vector_size(32)));
using Int8 = int __attribute__((vector_size(32)));

// For the height and the drop alike, in this order, floats [i, end) of the buffers.
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

// One vertex through the horizon: its shadow factor, and its two slots raised when it is lit.
__attribute__((always_inline)) inline float SweepVertex(float wk, float wk1, float h, float ground,
                                                        float* values) {
    const Float4 weight = {wk, wk, wk1, wk1};
    const Float4 stored = Load4(values); // height k, drop k, height k + 1, drop k + 1
    const Float4 weighted = weight * stored;
    const float horizonAtP = weighted[0] + weighted[2];
    if (h < horizonAtP) {
        const float dropAtP = weighted[1] + weighted[3];
        const float f = ((h - dropAtP) / (horizonAtP - dropAtP)) * (h / horizonAtP);
        const float g = (f + 2.0f) / 3.0f;
        return g * g * g * g * g * g;
    }
    // Lit: both slots' heights move towards the ray, then both drops towards how far the new height
    // lies above the ground here.
    const Float4 raised = stored + weight * (h - stored); // heights in lanes 0, 2
    const Float4 heights = __builtin_shufflevector(raised, raised, 0, 0, 2, 2);
    const Float4 dropped = stored + weight * ((heights - ground) - stored);
    Store4(values, __builtin_shufflevector(raised, dropped, 0, 5, 2, 7));
    return 1.0f;
}
} // namespace

void PlacedLine::Fit(int length) {
    // Lines are placed eight vertices at a time: room for a last, partly filled group.
    const std::size_t room = static_cast<std::size_t>(length + 8);
    Slot.resize(room);
    Weight.resize(room);
    NextWeight.resize(room);
    Ray.resize(room);
    Ground.resize(room);
    Aside.resize(room);
}

ShadowRow ShadowRowOf(const HorizonWalk& walk, int line, float* data, int stride, int width) {
    const int start = walk.LineStart(line);
    const int row = start / width, column = start % width;
    return {data + static_cast<std::ptrdiff_t>(row) * stride + column,
            walk.RowLines ? walk.ColumnStep : static_cast<std::ptrdiff_t>(walk.RowStep) * stride};
}

void SmoothSlots(const float* __restrict cur, float* __restrict next, int from, int to) {
    static const bool wide = __builtin_cpu_supports("avx");
    if (wide)
        SmoothSlotsWide(cur, next, from * PerSlot, to * PerSlot);
    else
        SmoothFloats(cur, next, from * PerSlot, to * PerSlot);
}

namespace {
// One step after the other, as any line may go.
__attribute__((always_inline)) inline void SweepSteps(const PlacedLine& placed, ShadowRow out, float* horizon,
                                                      std::ptrdiff_t from, std::ptrdiff_t to) {
    const int* __restrict slotAt = placed.Slot.data();
    const float* __restrict weight = placed.Weight.data();
    const float* __restrict nextWeight = placed.NextWeight.data();
    const float* __restrict rayAt = placed.Ray.data();
    const float* __restrict groundAt = placed.Ground.data();
    float* __restrict shadowOut = out.First;
    for (std::ptrdiff_t step = from; step < to; ++step) {
        const int slot = slotAt[step];
        shadowOut[step * out.Step] = slot >= 0 ? SweepVertex(weight[step], nextWeight[step], rayAt[step],
                                                             groundAt[step], horizon + slot)
                                               : 1.0f;
    }
}

// Whether every lane is true (-1).
__attribute__((always_inline)) inline bool AllOf(Int8 lanes) {
    Int4 both =
        __builtin_shufflevector(lanes, lanes, 0, 1, 2, 3) & __builtin_shufflevector(lanes, lanes, 4, 5, 6, 7);
    both &= __builtin_shufflevector(both, both, 2, 3, 0, 1);
    return (both[0] & both[1]) != 0;
}

// Two 4 x 4 transposes side by side: lane i of the low (high) halves of a, b, c and d becomes the
// low (high) half of the i-th of them. It is its own inverse.
__attribute__((always_inline)) inline void TransposeHalves(Float8& a, Float8& b, Float8& c, Float8& d) {
    const Float8 ab01 = __builtin_shufflevector(a, b, 0, 8, 1, 9, 4, 12, 5, 13);
    const Float8 ab23 = __builtin_shufflevector(a, b, 2, 10, 3, 11, 6, 14, 7, 15);
    const Float8 cd01 = __builtin_shufflevector(c, d, 0, 8, 1, 9, 4, 12, 5, 13);
    const Float8 cd23 = __builtin_shufflevector(c, d, 2, 10, 3, 11, 6, 14, 7, 15);
    a = __builtin_shufflevector(ab01, cd01, 0, 1, 8, 9, 4, 5, 12, 13);
    b = __builtin_shufflevector(ab01, cd01, 2, 3, 10, 11, 6, 7, 14, 15);
    c = __builtin_shufflevector(ab23, cd23, 0, 1, 8, 9, 4, 5, 12, 13);
    d = __builtin_shufflevector(ab23, cd23, 2, 3, 10, 11, 6, 7, 14, 15);
}

// Four values of eight vertices each (a, b, c, d per vertex) from lanes [0, 4) of from[0 .. 7].
__attribute__((always_inline)) inline void Gather(float* const (&from)[8], Float8& a, Float8& b, Float8& c,
                                                  Float8& d) {
    a = __builtin_shufflevector(Load4(from[0]), Load4(from[4]), 0, 1, 2, 3, 4, 5, 6, 7);
    b = __builtin_shufflevector(Load4(from[1]), Load4(from[5]), 0, 1, 2, 3, 4, 5, 6, 7);
    c = __builtin_shufflevector(Load4(from[2]), Load4(from[6]), 0, 1, 2, 3, 4, 5, 6, 7);
    d = __builtin_shufflevector(Load4(from[3]), Load4(from[7]), 0, 1, 2, 3, 4, 5, 6, 7);
    TransposeHalves(a, b, c, d);
}

// And back.
__attribute__((always_inline)) inline void Scatter(Float8 a, Float8 b, Float8 c, Float8 d,
                                                   float* const (&to)[8]) {
    TransposeHalves(a, b, c, d);
    Store4(to[0], __builtin_shufflevector(a, a, 0, 1, 2, 3));
    Store4(to[1], __builtin_shufflevector(b, b, 0, 1, 2, 3));
    Store4(to[2], __builtin_shufflevector(c, c, 0, 1, 2, 3));
    Store4(to[3], __builtin_shufflevector(d, d, 0, 1, 2, 3));
    Store4(to[4], __builtin_shufflevector(a, a, 4, 5, 6, 7));
    Store4(to[5], __builtin_shufflevector(b, b, 4, 5, 6, 7));
    Store4(to[6], __builtin_shufflevector(c, c, 4, 5, 6, 7));
    Store4(to[7], __builtin_shufflevector(d, d, 4, 5, 6, 7));
}

// Steps step .. step + 7 at once, each of which has a slot, its pair of slots past the last one's,
// so that none reads what another raises: every lane works out both what SweepVertex does in the
// shade and what it does in the light, and keeps the one that applies.
__attribute__((always_inline)) inline void SweepEight(const PlacedLine& placed, ShadowRow out, float* horizon,
                                                      std::ptrdiff_t step) {
    Int8 slot;
    std::memcpy(&slot, placed.Slot.data() + step, sizeof slot);
    float* const values[8] = {horizon + slot[0], horizon + slot[1], horizon + slot[2], horizon + slot[3],
                              horizon + slot[4], horizon + slot[5], horizon + slot[6], horizon + slot[7]};
    Float8 height, drop, height1, drop1, wk, wk1, h, ground;
    Gather(values, height, drop, height1, drop1);
    std::memcpy(&wk, placed.Weight.data() + step, sizeof wk);
    std::memcpy(&wk1, placed.NextWeight.data() + step, sizeof wk1);
    std::memcpy(&h, placed.Ray.data() + step, sizeof h);
    std::memcpy(&ground, placed.Ground.data() + step, sizeof ground);

    const Float8 horizonAtP = wk * height + wk1 * height1;
    const Float8 dropAtP = wk * drop + wk1 * drop1;
    const Int8 shaded = h < horizonAtP;
    const Float8 f = ((h - dropAtP) / (horizonAtP - dropAtP)) * (h / horizonAtP);
    const Float8 g = (f + 2.0f) / 3.0f;
    const Float8 shadow = shaded ? g * g * g * g * g * g : Float8{} + 1.0f;
    const Float8 raised = height + wk * (h - height), raised1 = height1 + wk1 * (h - height1);
    const Float8 dropped = drop + wk * ((raised - ground) - drop);
    const Float8 dropped1 = drop1 + wk1 * ((raised1 - ground) - drop1);
    Scatter(shaded ? height : raised, shaded ? drop : dropped, shaded ? height1 : raised1,
            shaded ? drop1 : dropped1, values);

    if (out.Step == 1 || out.Step == -1) {
        const Float8 ordered =
            out.Step == 1 ? shadow : __builtin_shufflevector(shadow, shadow, 7, 6, 5, 4, 3, 2, 1, 0);
        std::memcpy(out.First + (out.Step == 1 ? step : -step - 7), &ordered, sizeof ordered);
    } else {
        for (int lane = 0; lane < 8; ++lane)
            out.First[(step + lane) * out.Step] = shadow[lane];
    }
}
} // namespace

LIGHTING_WIDE_CLONES void SweepLine(const PlacedLine& placed, ShadowRow out, float* horizon, int from, int to,
                                    bool apart) {
    std::ptrdiff_t step = from;
    if (apart && placed.EverySlotted) {
        for (; step + 8 <= to; step += 8)
            SweepEight(placed, out, horizon, step);
    }
    SweepSteps(placed, out, horizon, step, to);
}

namespace {
// Steps [from, to) of a band's line, whose shadow factors go out when `Own`.
template <bool Own>
__attribute__((always_inline)) inline bool SweepRun(const PlacedLine& placed, ShadowRow out, float* horizon,
                                                    int from, int to, Slots& exact) {
    const int* __restrict slotAt = placed.Slot.data();
    const float* __restrict weight = placed.Weight.data();
    const float* __restrict nextWeight = placed.NextWeight.data();
    const float* __restrict rayAt = placed.Ray.data();
    const float* __restrict groundAt = placed.Ground.data();
    float* __restrict shadowOut = out.First;
    // A vertex's two slots k and k + 1 lie inside when its slot's values start in [lo, last).
    int lo = exact.Lo * PerSlot, last = (exact.Hi - 1) * PerSlot;
    auto widthOf = [](int low, int high) { return high > low ? static_cast<unsigned>(high - low) : 0u; };
    unsigned width = widthOf(lo, last);
    bool whole = true;
    for (std::ptrdiff_t step = from; step < to; ++step) {
        const int slot = slotAt[step];
        float shadow = 1.0f;
        if (static_cast<unsigned>(slot - lo) < width) { // lo <= slot < last
            shadow = SweepVertex(weight[step], nextWeight[step], rayAt[step], groundAt[step], horizon + slot);
        } else if (slot >= 0) {
            // The slot inside would have been raised, or not, from a value not known here.
            if (slot + PerSlot == lo)
                lo += PerSlot;
            else if (slot == last)
                last -= PerSlot;
            width = widthOf(lo, last);
            whole = !Own && whole;
        }
        if (Own)
            shadowOut[step * out.Step] = shadow;
    }
    exact = {lo / PerSlot, last / PerSlot + 1};
    return whole;
}
} // namespace

namespace {
// Whether the owned steps' slots all lie inside `exact`: positions move one way along a line, so
// the first and the last step that have a slot tell.
bool Inside(const PlacedLine& placed, int from, int to, Slots exact) {
    const int* slots = placed.Slot.data();
    while (from < to && slots[from] < 0)
        ++from;
    while (to > from && slots[to - 1] < 0)
        --to;
    const int lo = exact.Lo * PerSlot, last = (exact.Hi - 1) * PerSlot;
    return from == to ||
           (std::min(slots[from], slots[to - 1]) >= lo && std::max(slots[from], slots[to - 1]) < last);
}
} // namespace

namespace {
// Steps [from, to) of a band's line: as a whole line's, when their slots lie inside `exact`.
template <bool Own>
bool SweepPart(const PlacedLine& placed, ShadowRow out, float* horizon, int from, int to, Slots& exact,
               bool apart) {
    if (!Inside(placed, from, to, exact))
        return SweepRun<Own>(placed, out, horizon, from, to, exact);
    SweepLine(placed, out, horizon, from, to, apart);
    return true;
}
} // namespace

// Only the halo's outermost steps can reach across the edge of `exact`: the rest of it sweeps as
// the band's own steps do, its shadow factors put aside.
LIGHTING_WIDE_CLONES bool SweepBand(PlacedLine& placed, ShadowRow out, float* horizon, Steps swept,
                                    Steps owned, Slots& exact, bool apart) {
    const int ownFrom = std::clamp(owned.First, swept.First, swept.End);
    const int ownTo = std::clamp(owned.End, ownFrom, swept.End);
    int lowIn = swept.First, highIn = swept.End;
    while (lowIn < ownFrom && !Inside(placed, lowIn, lowIn + 1, exact))
        ++lowIn;
    while (highIn > ownTo && !Inside(placed, highIn - 1, highIn, exact))
        --highIn;
    const ShadowRow aside{placed.Aside.data(), 1};
    bool whole = SweepRun<false>(placed, out, horizon, swept.First, lowIn, exact);
    whole = SweepPart<false>(placed, aside, horizon, lowIn, ownFrom, exact, apart) && whole;
    whole = SweepPart<true>(placed, out, horizon, ownFrom, ownTo, exact, apart) && whole;
    whole = SweepPart<false>(placed, aside, horizon, ownTo, highIn, exact, apart) && whole;
    return SweepRun<false>(placed, out, horizon, highIn, swept.End, exact) && whole;
}

namespace {
// Places vertices eight at a time: their slots, weights, ray and ground heights.
struct Placer {
    Float8 FirstSlot, LastSlot, Centre, X0, Z0, Cell, HX, HZ, NY, Fixed;
    bool RowLine;
    const float* Along;   // the world coordinate that varies along the line
    const float* Heights; // from the line's start, in the line's own order
    std::ptrdiff_t AlongStep;
    int* __restrict SlotAt;
    float* __restrict WeightAt;
    float* __restrict NextWeightAt;
    float* __restrict RayAt;
    float* __restrict GroundAt;
    Float8 Lowest, Highest;
    Int8 Slotted = Int8{} - 1; // a lane turns false once a vertex placed in it has no slot

    // Vertices at[0 .. 7] of the line, whose results go to positions step .. step + 7.
    __attribute__((always_inline)) void operator()(const int (&at)[8], int step) {
        Float8 varying, y;
        for (int lane = 0; lane < 8; ++lane) {
            varying[lane] = Along[at[lane] * AlongStep];
            y[lane] = Heights[at[lane] * AlongStep];
        }
        Place(varying, y, step);
    }

    // Vertices step .. step + 7, read eight at a time: along a line the coordinates lie side by
    // side in memory, and so do the heights, forwards or backwards.
    __attribute__((always_inline)) void operator()(int step) {
        Float8 varying, y;
        Load8(Along + step * AlongStep, AlongStep, varying);
        Load8(Heights + step * AlongStep, AlongStep, y);
        Place(varying, y, step);
    }

    // from[0], from[way], ... from[7 * way], where way is 1 or -1.
    __attribute__((always_inline)) static void Load8(const float* from, std::ptrdiff_t way, Float8& value) {
        std::memcpy(&value, way > 0 ? from : from - 7, sizeof value);
        if (way < 0)
            value = __builtin_shufflevector(value, value, 7, 6, 5, 4, 3, 2, 1, 0);
    }

    __attribute__((always_inline)) void Place(const Float8& varying, const Float8& y, int step) {
        const Float8 dx = (RowLine ? Fixed : varying) - X0;
        const Float8 dz = (RowLine ? varying : Fixed) - Z0;
        const Float8 p = (HZ * dx - HX * dz) / Cell * static_cast<float>(SlotsPerCell) + Centre;
        // A vertex outside the terrain's extents has no horizon slot (-1): it stays lit. Its position
        // is replaced before the conversion, which is only defined in range.
        const Int8 inRange = (p >= FirstSlot) & (p < LastSlot);
        const Float8 position = inRange ? p : FirstSlot;
        Slotted &= inRange;
        const Int8 k = __builtin_convertvector(position, Int8);
        const Float8 kf = __builtin_convertvector(k, Float8);
        const Float8 wk = 1.0f - (position - kf);
        const Float8 wk1 = 1.0f - ((kf + 1.0f) - position);
        Lowest = position < Lowest ? position : Lowest;
        Highest = position > Highest ? position : Highest;
        // Where the slot's pair of values starts in the horizon buffer.
        const Int8 slot = inRange ? k * PerSlot : Int8{} - 1;
        std::memcpy(SlotAt + step, &slot, sizeof slot);
        std::memcpy(WeightAt + step, &wk, sizeof wk);
        std::memcpy(NextWeightAt + step, &wk1, sizeof wk1);
        const Float8 ray = y - (HX * dx + HZ * dz) * NY;
        std::memcpy(RayAt + step, &ray, sizeof ray);
        std::memcpy(GroundAt + step, &y, sizeof y);
    }
};

Placer PlacerOf(const TerrainLightingGrid& grid, const HorizonWalk& walk, const SlotRange& live, int line,
                PlacedLine& placed) {
    // Along a row x stays and z follows the columns; along a column the other way round.
    const int width = grid.Width, lineStart = walk.LineStart(line);
    const int row = lineStart / width, column = lineStart % width;
    const bool rowLine = walk.RowLines;
    const Float8 firstSlot = Float8{} + static_cast<float>(live.Lo);
    const Float8 lastSlot = Float8{} + static_cast<float>(live.Hi - 1); // k + 1 must stay below Hi
    return {firstSlot,
            lastSlot,
            Float8{} + live.Centre,
            Float8{} + walk.X0,
            Float8{} + walk.Z0,
            Float8{} + walk.Cell,
            Float8{} + walk.HX,
            Float8{} + walk.HZ,
            Float8{} + walk.NY,
            Float8{} + (rowLine ? grid.RowX[row] : grid.ColumnZ[column]),
            rowLine,
            rowLine ? grid.ColumnZ + column : grid.RowX + row,
            rowLine ? grid.RowHeights + lineStart
                    : grid.ColumnHeights + static_cast<std::ptrdiff_t>(column) * grid.Height + row,
            rowLine ? walk.StepDelta : walk.StepDelta / width,
            placed.Slot.data(),
            placed.Weight.data(),
            placed.NextWeight.data(),
            placed.Ray.data(),
            placed.Ground.data(),
            lastSlot,
            firstSlot};
}
} // namespace

LIGHTING_WIDE_CLONES Slots PlaceLine(const TerrainLightingGrid& grid, const HorizonWalk& walk,
                                     const SlotRange& live, int line, Steps steps, PlacedLine& placed) {
    Placer place = PlacerOf(grid, walk, live, line, placed);
    int step = steps.First;
    for (; step + 8 <= steps.End; step += 8)
        place(step);
    if (step < steps.End) {
        // A last, partial group: the line's last vertex stands in for the missing ones at its end,
        // and their results land in padding that the sweep never reads.
        int at[8];
        for (int lane = 0; lane < 8; ++lane)
            at[lane] = std::min(step + lane, walk.Length - 1);
        place(at, step);
    }
    // The slots these steps can raise: a vertex outside the extents widens the range to the lowest
    // slot, which costs only smoothing work.
    placed.EverySlotted = AllOf(place.Slotted);
    float lowest = place.Lowest[0], highest = place.Highest[0];
    for (int lane = 1; lane < 8; ++lane) {
        lowest = std::min(lowest, place.Lowest[lane]);
        highest = std::max(highest, place.Highest[lane]);
    }
    // Positions lie in [live.Lo, live.Hi - 1), so these conversions are in range.
    return {static_cast<int>(lowest), static_cast<int>(highest) + 2};
}

} // namespace horizon
