// Terrains through the built module and a host that does only what the contract says: tiles
// that cover the grid past one strip's 65,536 vertices, the heights of a plain generation from the script's
// seed, and the plain lighting's colours after Init and after 30 frames.

#include "TerrainLightingOracle.h"
#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapGenerator.h"
#include "platform/RuntimeRandom.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

using Shape = std::pair<int, int>; // width, height

class LargeTerrainTest : public ::testing::TestWithParam<Shape> {};

TEST_P(LargeTerrainTest, TilesCoverTheGridWithTheSeedsHeightsAndThePlainLightingsColours) {
    const auto [width, height] = GetParam();
    ModuleHarness harness;
    harness.Device.Log->Enabled = false;
    harness.WriteFile("HeightmapGeneration.lua",
                      "local g = heightmap_generator g.NbHills, g.Seed = 300, 2026\n"
                      "g.MinHillRadius, g.MaxHillRadius, g.Width, g.Height = 10, 60, " +
                          std::to_string(width) + ", " + std::to_string(height));
    ASSERT_TRUE(harness.Create() && harness.Init());
    TerrainReadBack held = TerrainReadBack::From(harness.Device);
    ASSERT_EQ(std::pair(held.Width, held.Height), std::pair(width, height));
    // 256 x 257 splits its rows, 3300 x 20 its columns.
    EXPECT_EQ(held.Tiles.size() > 1, width * height > 65536);

    veltra::platform::RuntimeSrand(2026);
    const std::unique_ptr<Heightmap> plain(HeightmapGenerator().Generate(width, height, 300, 10.0f, 60.0f));
    plain->Square(), plain->Normalize(), plain->Scale(250.0f); // as Init shapes it
    for (std::size_t n = 0; n < held.Grid.size(); ++n)
        ASSERT_EQ(held.Grid[n].Y, plain->Data[n]) << "vertex " << n;

    std::vector<TerrainVertex> reference = held.Grid;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, width, height, 1000.0f, 1000.0f, 100.0f, -35.0f, 0.0f, 3);
    float angle = 0.0f;
    for (int frame = 0; frame <= 30; ++frame) {
        if (frame > 0) {
            ASSERT_TRUE(harness.Frame());
            angle += 0.003f;
            oracle.UpdateLighting(reference, width, height, 1000.0f, 1000.0f,
                                  45.0f * static_cast<float>(std::cos(static_cast<double>(angle))), -15.0f,
                                  45.0f * static_cast<float>(std::sin(static_cast<double>(angle))), 3);
        }
        if (frame != 0 && frame != 30)
            continue;
        held = TerrainReadBack::From(harness.Device);
        ASSERT_TRUE(held.Whole) << "a vertex differs between the tiles that hold it";
        for (std::size_t n = 0; n < reference.size(); ++n)
            ASSERT_EQ(held.Grid[n].Diffuse, reference[n].Diffuse) << "frame " << frame << " vertex " << n;
    }
    harness.Release();
}

// VELTRA_LARGE_GRIDS=1 adds 1024 x 1024 and 4096 x 1000 (minutes under the sanitizers).
std::vector<Shape> Shapes() {
    std::vector<Shape> shapes = {{50, 50}, {300, 100}, {256, 257}, {3300, 20}};
    if (const char* large = std::getenv("VELTRA_LARGE_GRIDS"); large != nullptr && std::string(large) == "1")
        shapes.insert(shapes.end(), {{1024, 1024}, {4096, 1000}});
    return shapes;
}

INSTANTIATE_TEST_SUITE_P(Grids, LargeTerrainTest, ::testing::ValuesIn(Shapes()), [](const auto& param) {
    return std::to_string(param.param.first) + "x" + std::to_string(param.param.second);
});

} // namespace
