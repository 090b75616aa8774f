// Large terrains through the built module and a host that does only what the contract says: tiles
// of one strip each that cover the grid, the heights of a plain generation from the script's seed,
// and the plain lighting's colours after Init and after 30 frames.

#include "TerrainLightingOracle.h"
#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapGenerator.h"
#include "platform/RuntimeRandom.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Shape {
    int Width, Height;
};

class LargeTerrainTest : public ::testing::TestWithParam<Shape> {};

TEST_P(LargeTerrainTest, TilesCoverTheGridWithTheSeedsHeightsAndThePlainLightingsColours) {
    const Shape shape = GetParam();
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    harness.Device.Log->Enabled = false;
    harness.WriteFile("HeightmapGeneration.lua",
                      "local g = heightmap_generator\n"
                      "g.Width = " +
                          std::to_string(shape.Width) + " g.Height = " + std::to_string(shape.Height) +
                          "\ng.NbHills = 300 g.MinHillRadius = 10 g.MaxHillRadius = 60 g.Seed = 2026\n");
    ASSERT_TRUE(harness.Init());

    TerrainReadBack held = TerrainReadBack::From(harness.Device);
    ASSERT_EQ(held.Width, shape.Width);
    ASSERT_EQ(held.Height, shape.Height);
    EXPECT_GT(held.Tiles.size(), 1u);
    for (const TerrainReadBack::Tile& tile : held.Tiles)
        EXPECT_LE(tile.Vertices.size(), 65536u);
    EXPECT_TRUE(held.Whole);
    EXPECT_EQ(held.StripProblems(), "");

    veltra::platform::RuntimeSrand(2026);
    HeightmapGenerator generator;
    Heightmap* plain = generator.Generate(shape.Width, shape.Height, 300, 10.0f, 60.0f);
    plain->Square();
    plain->Normalize();
    plain->Scale(250.0f);
    for (std::size_t n = 0; n < held.Grid.size(); ++n)
        ASSERT_EQ(held.Grid[n].Y, plain->Data[n]) << "vertex " << n;
    delete plain;

    std::vector<TerrainVertex> reference = held.Grid;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, shape.Width, shape.Height, 1000.0f, 1000.0f, 100.0f, -35.0f, 0.0f, 3);
    float angle = 0.0f;
    for (int frame = 0; frame <= 30; ++frame) {
        if (frame > 0) {
            ASSERT_TRUE(harness.Frame());
            angle += 0.003f;
            oracle.UpdateLighting(reference, shape.Width, shape.Height, 1000.0f, 1000.0f,
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

INSTANTIATE_TEST_SUITE_P(Grids, LargeTerrainTest, ::testing::Values(Shape{1024, 1024}, Shape{4096, 1000}),
                         [](const ::testing::TestParamInfo<Shape>& param) {
                             return std::to_string(param.param.Width) + "x" +
                                    std::to_string(param.param.Height);
                         });

} // namespace
