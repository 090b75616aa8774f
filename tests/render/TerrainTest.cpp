#include "render/Terrain.h"
#include "heightmap/Heightmap.h"
#include "support/RecordingRenderer.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

class TerrainTest : public ::testing::Test {
protected:
    RecordingRenderer Device;
    Terrain Ground;

    // Builds from a width x height grid whose heights come from f(row, column).
    TerrainReadBack BuildFrom(int width, int height, const std::function<float(int, int)>& f) {
        Heightmap grid(width, height);
        for (int n = 0; n < width * height; ++n)
            grid.Data[n] = f(n / width, n % width);
        Ground.Build(&Device, &grid);
        return TerrainReadBack::From(Device);
    }
};

// Every cell is covered by two triangles of one winding, in one strip while 16-bit indices reach
// the whole grid (300 x 100 too), in tiles laid out alike that share their borders beyond that.
// Normals are those of the whole grid; rows run along x, columns along z, the texture follows.
TEST_F(TerrainTest, StripsCoverEveryCellOnceWithOneWindingAndWholeGridNormals) {
    Device.Log->Enabled = false;
    for (const auto& [width, height, tiles] :
         {std::array{3, 3, 1}, {300, 100, 1}, {257, 256, 2}, {700, 95, 2}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const TerrainReadBack held =
            BuildFrom(width, height, [](int r, int c) { return (r * c) % 7 * 9.0f; });
        ASSERT_EQ(held.Tiles.size(), static_cast<std::size_t>(tiles));
        EXPECT_EQ(held.Width, width);
        EXPECT_EQ(held.Height, height);
        EXPECT_TRUE(held.Whole);
        EXPECT_EQ(held.StripProblems(), "");
        for (const TerrainReadBack::Tile& tile : held.Tiles) {
            const int columns = tile.GridVertex.back() % width - tile.GridVertex.front() % width + 1;
            const int rows = static_cast<int>(tile.Vertices.size()) / columns;
            EXPECT_EQ(tile.Indices.size(), static_cast<std::size_t>((rows - 1) * (2 * columns + 4) - 4));
            EXPECT_EQ(tile.Indices[1], columns); // first down a column, then along the row
        }
        for (int n = 0; n < width * height; ++n) {
            const TerrainVertex expected = Ground.VertexAt(n / width, n % width, 0xFFFFFFFF);
            ASSERT_EQ(std::memcmp(&expected, &held.Grid[n], sizeof expected), 0) << "vertex " << n;
        }
        const TerrainVertex& v = held.Grid[width + 2]; // row 1, column 2
        EXPECT_EQ(v.X, -500.0f + 1000.0f / (height - 1));
        EXPECT_EQ(v.Z, -500.0f + 2000.0f / (width - 1));
        EXPECT_EQ(v.Y, 18.0f);
        EXPECT_EQ(v.U, 2.0f / (width - 1));
        EXPECT_EQ(v.V, 1.0f / (height - 1));
        EXPECT_EQ(held.Grid[0].NY, 0.0f); // the outer ring has no normal
        Ground.Tiles.clear();
    }
    // Ground rising along x with slope 0.5 (rows 1000/3 apart): normal (-0.5, 1, 0) normalised.
    const TerrainVertex v = BuildFrom(5, 4, [](int r, int) { return r * 500.0f / 3.0f; }).Grid[7];
    EXPECT_NEAR(v.NX, -0.5f / std::sqrt(1.25f), 1e-5);
    EXPECT_NEAR(v.NY, 1.0f / std::sqrt(1.25f), 1e-5);
    EXPECT_NEAR(v.NZ, 0.0f, 1e-5);
}

TEST_F(TerrainTest, HeightIsInterpolatedOverTheDrawnGridEdgesIncluded) {
    // Heights linear in row and column: interpolation gives back the same linear function of the
    // grid coordinates, which scale by W - 1 and H - 1 like the vertices.
    EXPECT_EQ(Ground.GetHeight(0.0f, 0.0f), 0.0f); // before Build
    BuildFrom(6, 5, [](int r, int c) { return 2.0f * r + 3.0f * c; });
    for (float z : {-500.0f, -450.0f, 0.0f, 123.0f, 499.9f, 500.0f})
        for (float x : {-500.0f, -10.0f, 290.0f, 500.0f})
            EXPECT_NEAR(Ground.GetHeight(z, x), (x + 500.0f) / 250.0f * 2.0f + (z + 500.0f) / 200.0f * 3.0f,
                        1e-3)
                << z << ", " << x;
    EXPECT_EQ(Ground.GetHeight(500.0f, 500.0f), 23.0f); // the far corner exactly
    for (auto [z, x] :
         {std::pair{500.1f, 0.0f}, {0.0f, -500.1f}, {1e30f, 0.0f}, {NAN, 0.0f}, {0.0f, INFINITY}})
        EXPECT_EQ(Ground.GetHeight(z, x), 0.0f) << z << ", " << x;
}

TEST_F(TerrainTest, RenderBindsTheTextureAndDrawsEveryTileAndBadGridsBuildNothing) {
    for (auto [width, height] : {std::pair{1, 5}, {5, 1}, {4097, 2}, {2, 4097}}) {
        Heightmap grid(width, height);
        Ground.Build(&Device, &grid);
    }
    Heightmap fine(3, 3);
    Ground.Build(nullptr, &fine);
    Ground.Build(&Device, nullptr);
    Ground.Render(&Device);
    EXPECT_EQ(Ground.GridWidth, 0);
    EXPECT_TRUE(Device.Log->Calls.empty());

    BuildFrom(300, 300, [](int, int) { return 0.0f; });
    Ground.GetTexture() = 7;
    BuildFrom(257, 256, [](int, int) { return 0.0f; }); // frees the old tiles
    EXPECT_EQ(Device.Log->LiveBuffers.size(), 4u);
    Device.Log->Calls.clear();
    Ground.Render(&Device);
    EXPECT_EQ(Device.Log->Calls.front(), "SetTexture(7,0)");
    EXPECT_EQ(Device.Log->CountPrefix("IB"), 2);
    EXPECT_EQ(Device.Log->CountPrefix("VB"), 2);
}

} // namespace
