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

// Across the light a vertex lies at HZ (x - X0) - HX (z - Z0): x follows the rows and z the columns.
void HorizonPositions::Place(const TerrainLightingGrid& grid, const HorizonWalk& walk, float centreSlot) {
    const double scale = lighting::SlotsPerCell / double(walk.Cell);
    const int firstRow = walk.FirstStart / grid.Width, firstColumn = walk.FirstStart % grid.Width;
    auto alongX = [&](int i) { return walk.HZ * (grid.RowX[firstRow + i * walk.RowStep] - double(walk.X0)); };
    auto alongZ = [&](int i) {
        return -walk.HX * (grid.ColumnZ[firstColumn + i * walk.ColumnStep] - double(walk.Z0));
    };
    OfLine.resize(static_cast<std::size_t>(walk.Count));
    OfStep.resize(static_cast<std::size_t>(walk.Length));
    for (int line = 0; line < walk.Count; ++line)
        OfLine[static_cast<std::size_t>(line)] =
            (walk.RowLines ? alongX(line) : alongZ(line)) * scale + centreSlot;
    for (int step = 0; step < walk.Length; ++step)
        OfStep[static_cast<std::size_t>(step)] = (walk.RowLines ? alongZ(step) : alongX(step)) * scale;
    Rise = walk.Length < 2 || OfStep[1] >= OfStep[0];
}

// The first step whose position reaches `position` in the direction the line moves. Positions
// along a line are near enough evenly spaced that the guess between its ends is at most a step or
// two off; from there the steps are walked, which finds the first one whatever the spacing.
int HorizonPositions::FirstReaching(int line, double position) const {
    const double goal = position - OfLine[static_cast<std::size_t>(line)];
    const double first = OfStep.front(), last = OfStep.back();
    const int length = static_cast<int>(OfStep.size());
    const double along = last != first ? (goal - first) / (last - first) * (length - 1) : 0.0;
    int step = static_cast<int>(std::clamp(std::ceil(along), 0.0, static_cast<double>(length)));
    auto reaches = [&](int at) {
        const double here = OfStep[static_cast<std::size_t>(at)];
        return Rise ? here >= goal : here < goal;
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
    return Rise ? Steps{FirstReaching(line, lo), FirstReaching(line, hi)}
                : Steps{FirstReaching(line, hi), FirstReaching(line, lo)};
}

// Along a line the positions follow the steps' part alone, the same on every line.
bool HorizonPositions::Spread(double gap) const {
    for (std::size_t step = 1; step < OfStep.size(); ++step) {
        const double move = OfStep[step] - OfStep[step - 1];
        if (!((Rise ? move : -move) > gap))
            return false;
    }
    return true;
}
