#include "lighting/HorizonWalk.h"

#include "lighting/LightingConstants.h"

#include <algorithm>
#include <cmath>

// Slot positions are measured in thirds of this length. On a square terrain it is ExtentZ / Width, the
// cell along z. Elsewhere the cells along x and z may differ (up to 8 : 1 either way is supported):
// there it is the longer of the two cell edges as seen across the light, so that neighbouring
// vertices, along a line or from one line to the next, lie at most three slots apart across it (the
// smoothing then joins the horizon they raise) and no vertex lies further than 3 * max(Width, Height)
// slots from the centre.
float HorizonWalk::SlotCell(const TerrainLightingGrid& grid, const LightDirection& light) {
    const float alongZ = grid.ExtentZ / static_cast<float>(grid.Width);
    if (grid.ExtentX == grid.ExtentZ)
        return alongZ;
    const float alongX = grid.ExtentX / static_cast<float>(grid.Height);
    return std::max(alongZ * std::abs(light.HX), alongX * std::abs(light.HZ));
}

HorizonWalk HorizonWalk::Of(const TerrainLightingGrid& grid, const LightDirection& light) {
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

HorizonPositions::HorizonPositions(const TerrainLightingGrid& grid, const HorizonWalk& walk, float centreSlot)
    : Grid(&grid), Walk(&walk), Centre(centreSlot), Scale(lighting::SlotsPerCell / double(walk.Cell)),
      FirstRow(walk.FirstStart / grid.Width), FirstColumn(walk.FirstStart % grid.Width),
      Rise(walk.Length < 2 || At(0, 1) >= At(0, 0)) {}

double HorizonPositions::At(int line, int step) const {
    const int row = FirstRow + (Walk->RowLines ? line : step) * Walk->RowStep;
    const int column = FirstColumn + (Walk->RowLines ? step : line) * Walk->ColumnStep;
    const double x = Grid->RowX[row], z = Grid->ColumnZ[column];
    const double across = Walk->HZ * (x - Walk->X0) - Walk->HX * (z - Walk->Z0);
    return across * Scale + Centre;
}

// The first step whose position reaches `position` in the direction the line moves. Positions
// along a line are near enough evenly spaced that the guess between its ends is at most a step or
// two off; from there the steps are walked, which finds the first one whatever the spacing.
int HorizonPositions::FirstReaching(int line, double position, double first, double last) const {
    const int length = Walk->Length;
    const double along = last != first ? (position - first) / (last - first) * (length - 1) : 0.0;
    int step = static_cast<int>(std::clamp(std::ceil(along), 0.0, static_cast<double>(length)));
    auto reaches = [&](int at) {
        const double here = At(line, at);
        return Rise ? here >= position : here < position;
    };
    while (step > 0 && reaches(step - 1))
        --step;
    while (step < length && !reaches(step))
        ++step;
    return step;
}

HorizonPositions::Steps HorizonPositions::Within(int line, double lo, double hi) const {
    if (lo >= hi)
        return {};
    const double first = At(line, 0), last = At(line, Walk->Length - 1);
    return Rise ? Steps{FirstReaching(line, lo, first, last), FirstReaching(line, hi, first, last)}
                : Steps{FirstReaching(line, hi, first, last), FirstReaching(line, lo, first, last)};
}

// Along a line the positions follow the rows' x or the columns' z alone, so the steps between them
// are those of every line: the first line tells.
bool HorizonPositions::Spread(double gap) const {
    for (int step = 1; step < Walk->Length; ++step) {
        const double move = At(0, step) - At(0, step - 1);
        if (!((Rise ? move : -move) > gap))
            return false;
    }
    return true;
}
