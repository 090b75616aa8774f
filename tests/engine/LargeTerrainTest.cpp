// Terrains through the built module and a host that does only what the contract says: tiles that
// cover the grid past one strip's 65,536 vertices, the heights of a plain generation from the
// script's seed, and the plain lighting's colours on every vertex after Init and on every vertex
// drawn in each of 30 frames; and every frame of the top view and of a flight (a circle, then
// straight on past the edge), a watertight cover of the tiles drawn (from above the whole terrain),
// neighbouring tiles at most one level of detail apart, the tile under the flying eye drawn with
// every vertex, and no tile in view left out.

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
class FlightTest : public LargeTerrainTest {};

bool LargeGrids() { // VELTRA_LARGE_GRIDS=1 adds large grids (many minutes under the sanitizers)
    const char* large = std::getenv("VELTRA_LARGE_GRIDS");
    return large != nullptr && std::string(large) == "1";
}

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
            harness.Device.Log->Enabled = true; // the frame's draws are read from its calls
            harness.Device.Log->Calls.clear();
            ASSERT_TRUE(harness.Frame());
            angle += 0.003f;
            oracle.UpdateLighting(reference, width, height, 1000.0f, 1000.0f,
                                  45.0f * static_cast<float>(std::cos(static_cast<double>(angle))), -15.0f,
                                  45.0f * static_cast<float>(std::sin(static_cast<double>(angle))), 3);
        }
        held = TerrainReadBack::From(harness.Device);
        // Before the first frame chooses levels of detail every tile holds every vertex lit; then
        // every vertex drawn shows its light.
        if (frame == 0) {
            ASSERT_TRUE(held.Whole) << "a vertex differs between the tiles that hold it";
            for (std::size_t n = 0; n < reference.size(); ++n)
                ASSERT_EQ(held.Grid[n].Diffuse, reference[n].Diffuse) << "vertex " << n;
        } else {
            for (const auto& [n, colour] : held.Drawn(harness.Device).Colours)
                ASSERT_EQ(colour, reference[static_cast<std::size_t>(n)].Diffuse)
                    << "frame " << frame << " vertex " << n;
        }
    }
    harness.Release();
}

// Height of the drawn surface at (x, z): the drawn triangle over that point, or NaN off the grid.
float DrawnHeight(const TerrainReadBack& terrain, const TerrainReadBack::Frame& drawn, float x, float z) {
    for (const std::array<int, 3>& triangle : drawn.Triangles) {
        const TerrainVertex& a = terrain.Grid[triangle[0]];
        const TerrainVertex& b = terrain.Grid[triangle[1]];
        const TerrainVertex& c = terrain.Grid[triangle[2]];
        const float area = (b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z);
        const float wb = ((x - a.X) * (c.Z - a.Z) - (c.X - a.X) * (z - a.Z)) / area;
        const float wc = ((b.X - a.X) * (z - a.Z) - (x - a.X) * (b.Z - a.Z)) / area;
        if (wb >= -1e-4f && wc >= -1e-4f && wb + wc <= 1.0001f)
            return a.Y + wb * (b.Y - a.Y) + wc * (c.Y - a.Y);
    }
    return NAN;
}

// What is wrong with the levels: neighbours (the tiles come row by row) drawn more than one level
// apart, or the tile holding grid position (row, column) not drawn at level 0; empty when nothing.
std::string LevelProblems(const TerrainReadBack& terrain, const TerrainReadBack::Frame& drawn, float row,
                          float column) {
    const auto& tiles = terrain.Tiles;
    const auto across = static_cast<std::size_t>(
        std::count_if(tiles.begin(), tiles.end(), [](const auto& tile) { return tile.FirstRow == 0; }));
    // A tile under two cells across has no vertex inside to tell its level by.
    auto told = [&](std::size_t t) {
        return tiles[t].LastRow - tiles[t].FirstRow > 1 && tiles[t].LastColumn - tiles[t].FirstColumn > 1;
    };
    for (std::size_t a = 0; a < tiles.size(); ++a) {
        if (row >= tiles[a].FirstRow && row <= tiles[a].LastRow && column >= tiles[a].FirstColumn &&
            column <= tiles[a].LastColumn && told(a) && drawn.Level[a] != 0)
            return "the tile under the eye is not drawn at level 0";
        for (const std::size_t b : {a % across + 1 < across ? a + 1 : a, a + across})
            if (b < tiles.size() && drawn.Drawn[a] && drawn.Drawn[b] && told(a) && told(b) &&
                std::abs(drawn.Level[a] - drawn.Level[b]) > 1)
                return "tiles " + std::to_string(a) + " and " + std::to_string(b) +
                       " are more than a level apart";
    }
    return "";
}

TEST_P(FlightTest, EveryFrameDrawsAWatertightCoverWithNeighboursOneLevelApart) {
    const auto [width, height] = GetParam();
    ModuleHarness harness;
    harness.WriteFile("HeightmapGeneration.lua",
                      "local g = heightmap_generator g.NbHills, g.Seed = 600, 7\n"
                      "g.MinHillRadius, g.MaxHillRadius, g.Width, g.Height = 10, 40, " +
                          std::to_string(width) + ", " + std::to_string(height));
    Window& window = harness.TheKernel.GetWindow(); // sized as a host sizes it
    window.Width = 640, window.Height = 480;
    ASSERT_TRUE(harness.Create() && harness.Init());
    const TerrainReadBack terrain = TerrainReadBack::From(harness.Device);
    int coarse = 0, culled = 0, over = 0;
    // Two frames from above, then 600 of the flight, the last ones off the grid.
    for (int frame = 0; frame < 602; ++frame) {
        if (frame == 2)
            harness.Send(WM_KEYUP, 84), harness.Send(WM_KEYDOWN, VK_UP); // T: the fly view
        if (frame > 2 && frame < 212 && frame % 5 == 0)
            harness.Send(WM_KEYDOWN, VK_LEFT);
        harness.Device.Log->Calls.clear();
        ASSERT_TRUE(harness.Frame());
        const TerrainReadBack::Frame drawn = terrain.Drawn(harness.Device);
        const CameraCall& eye = harness.Device.Cameras.back();
        ASSERT_EQ(terrain.CoverProblems(drawn), "") << "frame " << frame;
        ASSERT_EQ(LevelProblems(terrain, drawn,
                                frame < 2 ? -1.0f : (-eye.Tx + 500.0f) / 1000.0f * float(height - 1),
                                (-eye.Tz + 500.0f) / 1000.0f * float(width - 1)),
                  "")
            << "frame " << frame;
        // The eye flies 8 above the surface drawn under it, or 8 above zero off the grid.
        const float ground = frame < 2 ? 0.0f : DrawnHeight(terrain, drawn, -eye.Tx, -eye.Tz);
        over += frame >= 2 && !std::isnan(ground);
        ASSERT_TRUE(frame < 2 || std::fabs(-eye.Ty - (std::isnan(ground) ? 0.0f : ground) - 8.0f) < 0.01f)
            << frame;
        const auto missing = std::count(drawn.Drawn.begin(), drawn.Drawn.end(), false);
        ASSERT_TRUE(frame >= 2 || missing == 0) << "the top view shows the whole terrain";
        culled += static_cast<int>(missing);
        // A tile left out holds no vertex in front of the level eye within the picture's width (60
        // degrees from its bottom to its top).
        const float forwardX = -std::sin(eye.Yaw), forwardZ = std::cos(eye.Yaw);
        for (std::size_t t = 0; t < drawn.Drawn.size() && frame >= 2 && frame % 8 == 0; ++t)
            for (const int n : drawn.Drawn[t] ? std::vector<int>{} : terrain.Tiles[t].GridVertex) {
                const float x = terrain.Grid[n].X + eye.Tx, z = terrain.Grid[n].Z + eye.Tz;
                const float ahead = x * forwardX + z * forwardZ, aside = x * forwardZ - z * forwardX;
                ASSERT_TRUE(ahead <= 0.0f || std::fabs(aside) > ahead * std::tan(0.5236f) * 640.0f / 480.0f)
                    << "frame " << frame << ": tile " << t << " is in view";
            }
        for (std::size_t t = 0; t < drawn.Drawn.size(); ++t)
            coarse += drawn.Drawn[t] && drawn.Level[t] > 0;
    }
    // 3300 x 20's cells are 53 units long: no tile on it may leave every other vertex out.
    EXPECT_TRUE(terrain.Tiles.size() == 1 || ((coarse > 0 || height < 100) && culled > 0))
        << coarse << " coarse, " << culled << " culled";
    EXPECT_TRUE(over > 500 && over < 600) << over;
    harness.Release();
}

std::vector<Shape> Shapes(std::vector<Shape> shapes, std::vector<Shape> large) {
    if (LargeGrids())
        shapes.insert(shapes.end(), large.begin(), large.end());
    return shapes;
}

std::string Name(const testing::TestParamInfo<Shape>& shape) {
    return std::to_string(shape.param.first) + "x" + std::to_string(shape.param.second);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, LargeTerrainTest,
    // 2050 x 2050 has tiles of 128 cells, the rest of 64; from 520 x 260 on, the
    // lighting shares its work between threads.
    ::testing::ValuesIn(Shapes({{50, 50}, {300, 100}, {256, 257}, {3300, 20}, {520, 260}},
                               {{1024, 1024}, {4096, 1000}, {2050, 2050}})),
    Name);
INSTANTIATE_TEST_SUITE_P(
    Grids, FlightTest,
    ::testing::ValuesIn(Shapes({{50, 50}, {520, 520}},
                               {{300, 100}, {3300, 20}, {1024, 1024}, {4096, 1000}, {2050, 2050}})),
    Name);

} // namespace
