// A raster through the built module: its terrain has the raster's proportions, and each height
// stands where the map has it, north up (+z) and east right (+x) as the top view shows them.

#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

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

} // namespace
