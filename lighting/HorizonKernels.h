#pragma once
// The shadow sweep's steps over one line, which know nothing of threads: placing a line's vertices
// across the light, sweeping them through a horizon buffer, and smoothing the buffer for the next
// line. A horizon buffer holds, for every slot j, the horizon height at 2j and beside it the horizon
// drop (how far the horizon lies above the ground point that set it) at 2j + 1.

#include "lighting/HorizonWalk.h"
#include "lighting/LargePageAllocator.h"

#include <cstddef>

namespace horizon {

// A range of slots; empty when Lo >= Hi.
struct Slots {
    int Lo = 0, Hi = 0;
    bool Empty() const { return Lo >= Hi; }
};

// Steps [First, End) of a line.
struct Steps {
    int First = 0, End = 0;
};

// The live horizon: slots [Lo, Hi) around Centre; the two slots beyond each end stay 0.0.
struct SlotRange {
    int Lo = 0, Hi = 0;
    float Centre = 0.0f;
};

// One worker's placed line: per step, where its horizon slot's values start in a horizon buffer (-1:
// it has none), the weights of that slot and of the next, ray height and ground height. Each array
// on cache lines of its own.
struct PlacedLine {
    LargeVector<int> Slot;
    LargeVector<float> Weight, NextWeight, Ray, Ground;
    LargeVector<float> Aside;  // where a band puts the shadow factors that it does not keep
    bool EverySlotted = false; // every step PlaceLine placed last has a slot
    void Fit(int length);
};

// Places steps [steps.First, steps.End) of `line` (results at their step numbers); the slots they can
// raise: [floor(lowest position), floor(highest position) + 2).
Slots PlaceLine(const TerrainLightingGrid& grid, const HorizonWalk& walk, const SlotRange& live, int line,
                Steps steps, PlacedLine& placed);

// Where line `line`'s shadow factors go, and the distance from one step's to the next.
struct ShadowRow {
    float* First;
    std::ptrdiff_t Step;
};
ShadowRow ShadowRowOf(const HorizonWalk& walk, int line, float* data, int stride, int width);

// Sweeps steps [from, to) through `horizon` in order: each reads its two slots, and raises them when
// lit; every shadow factor goes to `out`.
// apart: the vertices of a line lie more than two slots apart (HorizonPositions::Spread), so that
// none reads a slot another raises and eight go at once.
void SweepLine(const PlacedLine& placed, ShadowRow out, float* horizon, int from, int to, bool apart);

// The same over the steps `swept` of a band whose horizon values are exact only within `exact`:
// a step whose slots lie inside is swept; one that reaches across its edge leaves the slot inside
// inexact too (`exact` narrows). Shadow factors go out for the steps `owned` only, the others to
// placed.Aside. False when an owned step could not be swept exactly.
bool SweepBand(PlacedLine& placed, ShadowRow out, float* horizon, Steps swept, Steps owned, Slots& exact,
               bool apart);

// next[j] = (2 cur[j-1] + 2 cur[j+1] + cur[j-2] + cur[j+2] + 4 cur[j]) / 10 for slots [from, to).
void SmoothSlots(const float* cur, float* next, int from, int to);

} // namespace horizon
