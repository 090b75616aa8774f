#pragma once

#include "lighting/LightDirection.h"
#include "lighting/TerrainLightingGrid.h"

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
// ones the sweep computes in float, which is all that sharing the slots out needs.
class HorizonPositions {
public:
    HorizonPositions(const TerrainLightingGrid& grid, const HorizonWalk& walk, float centreSlot);

    double At(int line, int step) const;
    // Whether positions rise along a line (or else fall).
    bool Rising() const { return Rise; }
    // The steps of `line` whose positions lie in [lo, hi): one run, as positions move one way along
    // a line.
    struct Steps {
        int First = 0, End = 0;
    };
    Steps Within(int line, double lo, double hi) const;
    // Whether the positions along every line move one way, each vertex more than `gap` slots from
    // the last.
    bool Spread(double gap) const;

private:
    // first, last: the positions of the line's ends.
    int FirstReaching(int line, double position, double first, double last) const;

    const TerrainLightingGrid* Grid;
    const HorizonWalk* Walk;
    double Centre, Scale; // slots per unit of length
    int FirstRow, FirstColumn;
    bool Rise;
};
