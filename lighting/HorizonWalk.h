#pragma once

#include "lighting/LightDirection.h"
#include "lighting/TerrainLightingGrid.h"

#include <cstddef>
#include <vector>

// The order in which the shadow sweep walks the grid and where each vertex lies across the light.
// Lines lie across the light's main horizontal direction and start where the light enters; a
// vertex's position is measured in horizon slots (thirds of SlotCell) around a centre slot.
struct HorizonWalk {
    bool RowLines = false;     // lines are rows
    int Count = 0, Length = 0; // lines, and vertices in a line
    int FirstStart = 0;        // vertex number at which line 0 starts
    int LineDelta = 0,
        StepDelta = 0; // vertex numbers from a line to the next, from a vertex to the next along it
    int ColumnStep = 1, RowStep = 1; // +1 or -1
    float X0 = 0.0f, Z0 = 0.0f;      // entry corner
    float Cell = 1.0f;               // SlotCell
    float HX = 0.0f, HZ = 0.0f, NY = 0.0f;

    static HorizonWalk Of(const TerrainLightingGrid& grid, const LightDirection& light);
    // The length whose thirds measure a horizon slot position, across the light.
    static float SlotCell(const TerrainLightingGrid& grid, const LightDirection& light);

    int LineStart(int line) const { return FirstStart + line * LineDelta; }
};

// Positions of vertices worked out in double precision: within a small fraction of a slot of the
// ones the sweep computes in float, which is all that sharing the slots out needs. A position is the
// sum of a part that follows the line and one that follows the step along it, each worked out once
// a call; the room for them is kept for the next.
class HorizonPositions {
public:
    void Place(const TerrainLightingGrid& grid, const HorizonWalk& walk, float centreSlot);

    double At(int line, int step) const {
        return OfLine[static_cast<std::size_t>(line)] + OfStep[static_cast<std::size_t>(step)];
    }
    // The steps of `line` whose positions lie in [lo, hi): one run, where positions move one way
    // along the lines (Spread).
    struct Steps {
        int First = 0, End = 0;
    };
    Steps Within(int line, double lo, double hi) const;
    // Whether the positions along every line move one way, each vertex more than `gap` slots from
    // the last.
    bool Spread(double gap) const;

private:
    int FirstReaching(int line, double position) const;

    std::vector<double> OfLine, OfStep;
    bool Rise = true; // positions rise along a line (or else fall)
};
