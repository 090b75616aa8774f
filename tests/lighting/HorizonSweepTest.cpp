// The shadow sweep cut into bands against the same sweep over whole lines: every shadow factor
// equal bit for bit, however long the runs and however many the bands, for grids whose lines can
// be cut; and the grids whose vertices lie too close across the light are not cut.

#include "lighting/HorizonSweep.h"
#include "TerrainLightingGrids.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

struct Grid {
    std::vector<SurfacePoint> Points;
    std::vector<float> RowX, ColumnZ;
    TerrainLightingGrid View;

    Grid(int width, int height, unsigned seed) : Points(static_cast<std::size_t>(width) * height) {
        const std::vector<float> heights = lighting_grids::Hills(width, height, seed, 30, 3.0f);
        for (std::size_t n = 0; n < heights.size(); ++n)
            Points[n].Y = heights[n];
        for (int r = 0; r < height; ++r)
            RowX.push_back(static_cast<float>(r) / static_cast<float>(height - 1) * 1000.0f - 500.0f);
        for (int c = 0; c < width; ++c)
            ColumnZ.push_back(static_cast<float>(c) / static_cast<float>(width - 1) * 1000.0f - 500.0f);
        View = {Points.data(), RowX.data(), ColumnZ.data(), width, height};
    }
};

std::vector<float> Shadows(const Grid& grid, const LightDirection& light, int runLines, int bands) {
    const int width = grid.View.Width, height = grid.View.Height;
    std::vector<float> shadows(static_cast<std::size_t>(width) * height, -1.0f);
    HorizonSweep sweep;
    sweep.Fit(width, height, 2);
    const bool cut = sweep.Begin(grid.View, light, {shadows.data(), width});
    if (runLines == 0 || !cut) {
        sweep.SweepWhole(0, sweep.Lines(), 1);
    } else {
        std::vector<HorizonSweep::Band> plan;
        sweep.PlanBands(runLines, bands, plan);
        for (std::size_t b = 0; b < plan.size(); ++b) // each run's bands need nothing from each other
            EXPECT_TRUE(sweep.SweepBand(plan[b], static_cast<int>(b % 2))) << b;
    }
    sweep.End();
    return shadows;
}

TEST(HorizonSweepTest, BandsLeaveEveryShadowOfTheWholeLinesBitForBit) {
    const std::array<float, 3> lights[] = {{100, -35, 20},   {-100, -35, -60}, {30, -20, 100},
                                           {-30, -20, -100}, {45, -15, 45},    {1, -3, 0}};
    const std::tuple<int, int, bool> shapes[] = {{150, 150, true}, {180, 70, true}, {70, 180, false}};
    for (const auto& [width, height, cut] : shapes) {
        const Grid grid(width, height, static_cast<unsigned>(width + height));
        for (const auto& [x, y, z] : lights) {
            const LightDirection light = LightDirection::Of(x, y, z);
            HorizonSweep probe;
            probe.Fit(width, height, 1);
            std::vector<float> scratch(grid.Points.size());
            const bool cuttable = probe.Begin(grid.View, light, {scratch.data(), width});
            probe.End();
            // Lines across the long side of stretched cells hold vertices under two slots apart.
            EXPECT_EQ(cuttable, cut || light.RowLines) << width << " x " << height << ", " << x << " " << z;
            const std::vector<float> whole = Shadows(grid, light, 0, 1);
            for (const auto& [runLines, bands] : {std::pair{1, 3}, std::pair{7, 2}, std::pair{32, 5}}) {
                SCOPED_TRACE(testing::Message() << width << " x " << height << ", light " << x << " " << z
                                                << ", runs of " << runLines << ", " << bands << " bands");
                const std::vector<float> banded = Shadows(grid, light, runLines, bands);
                ASSERT_EQ(std::memcmp(banded.data(), whole.data(), whole.size() * sizeof(float)), 0);
            }
        }
    }
}

} // namespace
