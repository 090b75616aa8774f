// A raster through the built module: its terrain has the raster's proportions, and each height
// stands where the map has it, north up (+z) and east right (+x) as the top view shows them.

#include "TerrainLightingOracle.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(TerrainFileTest, ARasterBecomesTheTerrainInItsProportionsNorthUpEastRight) {
    ModuleHarness harness;
    harness.WriteFile("map.asc",
                      "ncols 4\nnrows 2\nxllcorner 1000\nyllcorner 0\ncellsize 1\n1 2 3 4\n11 12 13 14\n");
    harness.WriteFile("HeightmapGeneration.lua", "heightmap_file.Path = 'map.asc'");
    ASSERT_TRUE(harness.Create() && harness.Init());
    const TerrainReadBack held = TerrainReadBack::From(harness.Device);
    ASSERT_EQ(std::pair(held.Width, held.Height), std::pair(2, 4));
    for (int n = 0; n < 8; ++n) {
        const int east = n / 2, north = n % 2;
        const float metres = static_cast<float>(north == 1 ? 1 + east : 11 + east), third = 1000.0f / 3.0f;
        const TerrainVertex& vertex = held.Grid[static_cast<std::size_t>(n)];
        EXPECT_EQ(std::pair(vertex.X, vertex.Z),
                  std::pair(-500.0f + static_cast<float>(east) * third, north * 500.0f - 250.0f));
        EXPECT_NEAR(vertex.Y, (metres - 1.0f) / 13.0f * 250.0f, 1e-4f) << n;
    }
    harness.Release();
}

TEST(TerrainFileTest, GroundBelowZeroIsLitAsTheSameGroundAboveIt) {
    // A 12 x 8 raster of 100 m cells at true scale, 10 m but for a 250 m wall whose shadow the first
    // light (travelling east) casts east; and the same ground 200 m lower. The shadow term divides by
    // a point's height: ground below 0 would give factors above 1 and white shadows.
    const auto lit = [](float lowered) {
        std::string rows;
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 12; ++column)
                rows +=
                    std::to_string((column == 2 ? 250.0f : 10.0f) - lowered) + (column == 11 ? "\n" : " ");
        ModuleHarness harness;
        harness.WriteFile("map.asc", "ncols 12\nnrows 8\nxllcorner 1000\nyllcorner 0\ncellsize 100\n" + rows);
        harness.WriteFile("HeightmapGeneration.lua", "heightmap_file.Path = 'map.asc'\n"
                                                     "heightmap_file.Exaggeration = 1");
        EXPECT_TRUE(harness.Create() && harness.Init());
        const TerrainReadBack held = TerrainReadBack::From(harness.Device);
        harness.Release();
        return held.Grid;
    };
    const std::vector<TerrainVertex> ground = lit(0.0f), below = lit(200.0f);
    ASSERT_EQ(ground.size(), 96u);
    ASSERT_EQ(below.size(), ground.size());
    for (std::size_t n = 0; n < ground.size(); ++n)
        EXPECT_EQ(below[n].Diffuse, ground[n].Diffuse) << n;
    std::vector<TerrainVertex> reference = below;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, 8, 12, 1000.0f, 2000.0f / 3.0f, 100.0f, -35.0f, 0.0f, 3);
    const auto [least, most] = std::minmax_element(oracle.ShadowFactor.begin(), oracle.ShadowFactor.end());
    EXPECT_LT(*least, 0.5f); // the wall's shadow
    EXPECT_LE(*most, 1.0f);
}

} // namespace
