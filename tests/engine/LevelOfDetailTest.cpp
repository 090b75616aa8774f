// Tiled terrains drawn at levels of detail, frame by frame through the built module and a host
// that does only what the contract says: the top view, then a flight in a circle and off the grid.
// Every frame the drawn triangles are a watertight cover of the tiles drawn (the whole terrain from
// above), neighbouring tiles are at most one level apart, and the tile under the flying eye is drawn
// with every vertex.

#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Shape = std::pair<int, int>; // width, height
constexpr UINT KeyT = 84;

class LevelOfDetailTest : public ::testing::TestWithParam<Shape> {};

bool LargeGrids() {
    const char* large = std::getenv("VELTRA_LARGE_GRIDS");
    return large != nullptr && std::string(large) == "1";
}

// The tile whose cells hold grid position (row, column), or -1.
int TileAt(const TerrainReadBack& terrain, float row, float column) {
    for (std::size_t t = 0; t < terrain.Tiles.size(); ++t) {
        const TerrainReadBack::Tile& tile = terrain.Tiles[t];
        if (row >= tile.FirstRow && row <= tile.LastRow && column >= tile.FirstColumn &&
            column <= tile.LastColumn)
            return static_cast<int>(t);
    }
    return -1;
}

// Problems with the levels: neighbours drawn more than one level apart, or the tile under the eye
// not drawn at level 0. Empty when none.
std::string LevelProblems(const TerrainReadBack& terrain, const TerrainReadBack::Frame& drawn, int under) {
    for (std::size_t a = 0; a < terrain.Tiles.size(); ++a)
        for (std::size_t b = 0; b < terrain.Tiles.size(); ++b) {
            const TerrainReadBack::Tile &one = terrain.Tiles[a], &other = terrain.Tiles[b];
            const bool below = other.FirstRow == one.LastRow && other.FirstColumn == one.FirstColumn;
            const bool beside = other.FirstColumn == one.LastColumn && other.FirstRow == one.FirstRow;
            if ((below || beside) && drawn.Drawn[a] && drawn.Drawn[b] &&
                std::abs(drawn.Level[a] - drawn.Level[b]) > 1)
                return "tiles " + std::to_string(a) + " and " + std::to_string(b) + " are levels " +
                       std::to_string(drawn.Level[a]) + " and " + std::to_string(drawn.Level[b]);
        }
    if (under >= 0 &&
        (!drawn.Drawn[static_cast<std::size_t>(under)] || drawn.Level[static_cast<std::size_t>(under)] != 0))
        return "the tile under the eye is at level " +
               std::to_string(drawn.Level[static_cast<std::size_t>(under)]);
    return "";
}

TEST_P(LevelOfDetailTest, EveryFrameDrawsAWatertightCoverWithNeighboursOneLevelApart) {
    const auto [width, height] = GetParam();
    ModuleHarness harness;
    harness.WriteFile("HeightmapGeneration.lua",
                      "local g = heightmap_generator g.NbHills, g.Seed = 600, 7\n"
                      "g.MinHillRadius, g.MaxHillRadius, g.Width, g.Height = 10, 40, " +
                          std::to_string(width) + ", " + std::to_string(height));
    ASSERT_TRUE(harness.Create() && harness.Init());
    const TerrainReadBack terrain = TerrainReadBack::From(harness.Device);
    ASSERT_GT(terrain.Tiles.size(), 1u);
    int coarse = 0, culled = 0;
    // Two frames from above, then a flight: 600 frames over large grids, which takes it off the grid.
    for (int frame = 0, frames = LargeGrids() ? 602 : 302; frame < frames; ++frame) {
        if (frame == 2) {
            harness.Send(WM_KEYUP, KeyT);
            harness.Send(WM_KEYDOWN, VK_UP);
        }
        if (frame > 2 && frame < 212 && frame % 5 == 0)
            harness.Send(WM_KEYDOWN, VK_LEFT); // a circle, then straight on past the edge
        harness.Device.Log->Calls.clear();
        ASSERT_TRUE(harness.Frame());
        const TerrainReadBack::Frame drawn = terrain.Drawn(harness.Device);
        const CameraCall& eye = harness.Device.Cameras.back();
        const int under = frame < 2
                              ? -1
                              : TileAt(terrain, (-eye.Tx + 500.0f) / 1000.0f * static_cast<float>(height - 1),
                                       (-eye.Tz + 500.0f) / 1000.0f * static_cast<float>(width - 1));
        ASSERT_EQ(terrain.CoverProblems(drawn), "") << "frame " << frame;
        ASSERT_EQ(LevelProblems(terrain, drawn, under), "") << "frame " << frame;
        if (frame < 2) { // from above: the whole terrain
            ASSERT_EQ(std::count(drawn.Drawn.begin(), drawn.Drawn.end(), true), terrain.Tiles.size());
        }
        culled += static_cast<int>(std::count(drawn.Drawn.begin(), drawn.Drawn.end(), false));
        coarse += static_cast<int>(
            std::count_if(drawn.Level.begin(), drawn.Level.end(), [](int l) { return l > 1; }));
    }
    EXPECT_TRUE(coarse > 0 && culled > 0) << coarse << " coarse, " << culled << " culled";
    harness.Release();
}

// VELTRA_LARGE_GRIDS=1 adds 1024 x 1024 and 4096 x 1000 (many minutes).
std::vector<Shape> Shapes() {
    std::vector<Shape> shapes = {{300, 300}, {700, 140}};
    if (LargeGrids())
        shapes.insert(shapes.end(), {{1024, 1024}, {4096, 1000}});
    return shapes;
}

INSTANTIATE_TEST_SUITE_P(Grids, LevelOfDetailTest, ::testing::ValuesIn(Shapes()), [](const auto& param) {
    return std::to_string(param.param.first) + "x" + std::to_string(param.param.second);
});

} // namespace
