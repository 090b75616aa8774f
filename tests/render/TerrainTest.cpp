// The terrain's layout beyond what the module runs show (tiles, strips and colours there): normals,
// drawing every tile, and grids it cannot build.

#include "render/Terrain.h"
#include "heightmap/Heightmap.h"
#include "render/TerrainTiling.h"
#include "support/RecordingRenderer.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(TerrainTest, NormalsLeanDownhillAndTheRingHasNone) {
    RecordingRenderer device;
    Terrain ground;
    // Rising along x (rows 1000/3 apart) with slope 0.5; along z (columns 250 apart) a parabola
    // whose slope at column 3, between its neighbours, is 0.5 too.
    Heightmap slope(5, 4);
    for (int n = 0; n < 20; ++n)
        slope.Data[n] =
            static_cast<float>(n / 5) * 500.0f / 3.0f + static_cast<float>(n % 5 * (n % 5)) * 250.0f / 12.0f;
    ground.Build(&device, &slope);
    const std::vector<TerrainVertex> grid = TerrainReadBack::From(device).Grid;
    const TerrainVertex& last = grid[13]; // in the last interior row and column
    // The last column and the last row are ring. In the first interior row and column (grid[6]) the
    // parabola's slope is 1/6.
    const float held[] = {last.NX, last.NY, last.NZ, last.U, last.V, grid[9].NY, grid[16].NY, grid[6].NZ};
    const float lean = 1.0f / std::sqrt(1.5f), first = -1.0f / 6.0f / std::sqrt(1.25f + 1.0f / 36.0f);
    const float expected[] = {-0.5f * lean, lean, -0.5f * lean, 0.75f, 2.0f / 3.0f, 0, 0, first};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(held[i], expected[i], 1e-5f) << i;
}

TEST(TerrainTest, RenderBindsTheTextureAndDrawsEveryTileAndBadGridsBuildNothing) {
    RecordingRenderer device;
    Terrain ground;
    for (auto [width, height] : {std::pair{1, 5}, {5, 1}, {4097, 2}, {2, 4097}}) {
        Heightmap grid(width, height);
        ground.Build(&device, &grid);
    }
    Heightmap big(300, 300), tiled(257, 256);
    ground.Build(nullptr, &big);
    ground.Build(&device, nullptr);
    ground.Render(&device, TerrainEye{});
    EXPECT_TRUE(ground.GridWidth == 0 && device.Log->Calls.empty());

    ground.Build(&device, &big);
    ground.GetTexture() = 7;
    ground.Build(&device, &tiled); // frees the old tiles
    // 16 tiles (two shapes: 64 x 64 and 63 x 64 cells), each shape with 7 x 16 + 1 index buffers.
    EXPECT_EQ(device.Log->LiveBuffers.size(), 16u + 2u * 113u);
    device.Log->Calls.clear();
    ground.Render(&device, {0.0f, 700.0f, 0.0f, 0.0f, -1.0f, 0.0f}); // from above
    // The texture once, then each tile selects an index buffer and draws.
    EXPECT_EQ(std::pair(device.Log->Calls.front(), device.Log->Calls.size()),
              std::pair(std::string("SetTexture(7,0)"), std::size_t{33}));
}

// One strip up to 65,536 vertices; then tiles of 64 cells while there are at most 1024 of them (2049
// vertices a side), of 128 beyond.
TEST(TerrainTest, TilesAreSmallWhileThereAreFewOfThem) {
    for (auto [side, tiles, rows] : {std::tuple{256, std::size_t{1}, 256},
                                     {257, std::size_t{16}, 65},
                                     {2049, std::size_t{1024}, 65},
                                     {2050, std::size_t{289}, 129},
                                     {4096, std::size_t{1024}, 129}}) {
        const std::vector<TileRect> plan = TerrainTiling::Plan(side, side);
        EXPECT_EQ(std::pair(plan.size(), plan.front().Rows), std::pair(tiles, rows)) << side;
        EXPECT_EQ(plan.back().FirstRow + plan.back().Rows, side) << side;
    }
}

// A device that makes buffers but no room in them: nothing is appended or set, at build or relight
// (the double reports any write outside an allocation), and the height query still answers.
TEST(TerrainTest, BuffersWithoutRoomAreNeverWritten) {
    RecordingRenderer device;
    device.RefuseAllocate = true;
    Terrain ground;
    Heightmap rising(300, 300);
    for (int n = 0; n < 300 * 300; ++n)
        rising.Data[n] = static_cast<float>(n / 300 + 1 + (n % 300 == 299 ? 100 : 0)); // last column raised
    ground.Build(&device, &rising);
    ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    // The middle, and the corners: the edges of the grid are on it, and the last cell answers there.
    EXPECT_EQ(std::tuple(ground.GetHeight(0.0f, 0.0f), ground.GetHeight(-500.0f, -500.0f),
                         ground.GetHeight(500.0f, 500.0f)),
              std::tuple(150.5f, 1.0f, 400.0f));
}

} // namespace
