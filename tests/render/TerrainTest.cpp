#include "render/Terrain.h"
#include "heightmap/Heightmap.h"
#include "support/RecordingRenderer.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

class TerrainTest : public ::testing::Test {
protected:
    RecordingRenderer Device;
    Terrain Ground;

    // Builds from a width x height grid whose heights come from f(row, column).
    void BuildFrom(int width, int height, const std::function<float(int, int)>& f = {}) {
        Heightmap grid(width, height);
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                grid.Data[r * width + c] = f ? f(r, c) : 0.0f;
        Ground.Build(&Device, &grid);
    }
    TerrainReadBack Held() const { return TerrainReadBack::From(Device); }
    static bool HasNormal(const TerrainVertex& v) { return v.NX != 0.0f || v.NY != 0.0f || v.NZ != 0.0f; }
};

TEST_F(TerrainTest, SmallGridsGiveOneStripWithNormalsInsideOnly) {
    BuildFrom(3, 3, [](int r, int c) { return static_cast<float>(r * 3 + c); });
    EXPECT_EQ(Device.Log->Calls[1], "VB1.Allocate(9,36,0,0x152)");
    EXPECT_EQ(Device.Log->Calls[3], "IB1.Allocate(16,2,0)");
    TerrainReadBack held = Held();
    ASSERT_EQ(held.Tiles.size(), 1u);
    for (int n = 0; n < 9; ++n) {
        EXPECT_EQ(HasNormal(held.Grid[n]), n == 4) << "vertex " << n;
        EXPECT_EQ(held.Grid[n].Diffuse, 0xFFFFFFFFu);
    }
    // Rows run along x, columns along z; the texture follows the grid.
    const TerrainVertex middle = held.Grid[5], last = held.Grid[8];
    EXPECT_EQ(held.Grid[0].X, -500.0f);
    EXPECT_EQ(held.Grid[0].Z, -500.0f);
    EXPECT_EQ(middle.X, 0.0f);   // row 1
    EXPECT_EQ(middle.Z, 500.0f); // column 2
    EXPECT_EQ(middle.Y, 5.0f);
    EXPECT_EQ(middle.U, 1.0f);
    EXPECT_EQ(middle.V, 0.5f);
    EXPECT_EQ(last.X, 500.0f);

    BuildFrom(2, 2);
    held = Held();
    EXPECT_EQ(held.Tiles.at(0).Indices, (std::vector<std::uint16_t>{0, 2, 1, 3}));
    for (const TerrainVertex& v : held.Grid)
        EXPECT_FALSE(HasNormal(v));
}

// Every cell is covered by two triangles of one winding, in one strip while 16-bit indices reach
// the whole grid (300 x 100 too), in tiles that share their borders beyond that.
TEST_F(TerrainTest, StripsCoverEveryCellOnceWithOneWinding) {
    Device.Log->Enabled = false;
    struct Case {
        int Width, Height;
        std::size_t Tiles;
    };
    for (const Case shape : {Case{5, 4, 1}, Case{300, 100, 1}, Case{256, 256, 1}, Case{257, 256, 2},
                             Case{700, 95, 2}, Case{520, 530, 6}}) {
        SCOPED_TRACE(testing::Message() << shape.Width << " x " << shape.Height);
        BuildFrom(shape.Width, shape.Height, [](int r, int c) { return static_cast<float>((r * c) % 7); });
        const TerrainReadBack held = Held();
        EXPECT_EQ(held.Tiles.size(), shape.Tiles);
        EXPECT_EQ(held.Width, shape.Width);
        EXPECT_EQ(held.Height, shape.Height);
        EXPECT_TRUE(held.Whole);
        EXPECT_EQ(held.StripProblems(), "");
        for (const TerrainReadBack::Tile& tile : held.Tiles) {
            EXPECT_LE(tile.Vertices.size(), 65536u);
            const int columns =
                tile.GridVertex.back() % shape.Width - tile.GridVertex.front() % shape.Width + 1;
            const int rows = static_cast<int>(tile.Vertices.size()) / columns;
            // Laid out as the whole-grid strip over the tile's own rows and columns.
            EXPECT_EQ(tile.Indices.size(), static_cast<std::size_t>((rows - 1) * (2 * columns + 4) - 4));
        }
        // Normals are those of the whole grid: the same as one strip's wherever a tile border runs.
        if (shape.Tiles > 1) {
            for (int n = 0; n < shape.Width * shape.Height; ++n) {
                const int r = n / shape.Width, c = n % shape.Width;
                const TerrainVertex expected = Ground.VertexAt(r, c, 0xFFFFFFFF);
                ASSERT_EQ(std::memcmp(&expected, &held.Grid[n], sizeof expected), 0) << "vertex " << n;
            }
        }
        Ground.Tiles.clear();
    }
}

TEST_F(TerrainTest, NormalsPointUpOnFlatGroundAndLeanDownhillOnASlope) {
    BuildFrom(5, 4);
    for (const TerrainVertex& v : Held().Grid) {
        if (HasNormal(v)) {
            EXPECT_EQ((std::vector<float>{v.NX, v.NY, v.NZ}), (std::vector<float>{0.0f, 1.0f, 0.0f}));
        }
    }
    // Ground rising along x with slope 0.5 (rows are 1000/3 apart): normal (-0.5, 1, 0) normalised.
    BuildFrom(5, 4, [](int r, int) { return 0.5f * (static_cast<float>(r) * 1000.0f / 3.0f); });
    const TerrainVertex v = Held().Grid[7];
    EXPECT_NEAR(v.NX, -0.5f / std::sqrt(1.25f), 1e-5);
    EXPECT_NEAR(v.NY, 1.0f / std::sqrt(1.25f), 1e-5);
    EXPECT_NEAR(v.NZ, 0.0f, 1e-5);
}

TEST_F(TerrainTest, HeightIsInterpolatedOverTheDrawnGridEdgesIncluded) {
    // Heights linear in row and column: interpolation gives back the same linear function of the
    // grid coordinates, which scale by W - 1 and H - 1 like the vertices.
    const int width = 6, height = 5;
    auto linear = [](float row, float column) { return 2.0f * row + 3.0f * column; };
    BuildFrom(width, height,
              [&](int r, int c) { return linear(static_cast<float>(r), static_cast<float>(c)); });
    auto expected = [&](float z, float x) {
        return linear((x + 500.0f) / 1000.0f * (height - 1), (z + 500.0f) / 1000.0f * (width - 1));
    };
    for (float z : {-500.0f, -450.0f, 0.0f, 123.0f, 499.9f, 500.0f})
        for (float x : {-500.0f, -10.0f, 290.0f, 500.0f})
            EXPECT_NEAR(Ground.GetHeight(z, x), expected(z, x), 1e-3) << z << ", " << x;
    EXPECT_EQ(Ground.GetHeight(500.0f, 500.0f), linear(4.0f, 5.0f)); // the far corner exactly

    for (auto [z, x] : {std::pair{500.1f, 0.0f}, std::pair{0.0f, -500.1f}, std::pair{1e30f, 0.0f},
                        std::pair{0.0f, -1e30f}, std::pair{NAN, 0.0f}, std::pair{0.0f, INFINITY}})
        EXPECT_EQ(Ground.GetHeight(z, x), 0.0f) << z << ", " << x;
    EXPECT_EQ(Terrain().GetHeight(0.0f, 0.0f), 0.0f); // before Build
}

TEST_F(TerrainTest, RenderSetsTheTextureThenDrawsEveryTile) {
    Terrain empty;
    empty.Render(&Device);
    EXPECT_TRUE(Device.Log->Calls.empty());

    BuildFrom(3, 3);
    Device.Log->Calls.clear();
    Ground.Render(&Device);
    EXPECT_EQ(Device.Log->Calls, (Calls{"IB1.Select", "VB1.DrawIndexed(5,9,14)"}));
    Ground.GetTexture() = 7;
    BuildFrom(257, 256);
    Device.Log->Calls.clear();
    Ground.Render(&Device);
    EXPECT_EQ(Device.Log->Calls.front(), "SetTexture(7,0)");
    EXPECT_EQ(Device.Log->CountPrefix("IB"), 2);
    EXPECT_EQ(Device.Log->Calls.size(), 5u);
}

TEST_F(TerrainTest, GridsItCannotBuildAreRefusedAndARebuildFreesTheOldTiles) {
    for (auto [width, height] : {std::pair{1, 5}, std::pair{5, 1}, std::pair{4097, 2}, std::pair{2, 4097}}) {
        Heightmap grid(width, height);
        Ground.Build(&Device, &grid);
    }
    Heightmap fine(3, 3);
    Ground.Build(nullptr, &fine);
    Ground.Build(&Device, nullptr);
    EXPECT_TRUE(Ground.Tiles.empty());
    EXPECT_EQ(Ground.GridWidth, 0);
    EXPECT_TRUE(Device.Log->Calls.empty());

    BuildFrom(300, 300);
    BuildFrom(4, 4);
    EXPECT_EQ(Device.Log->LiveBuffers.size(), 2u);
}

// A device that makes buffers but no room in them: nothing is appended or set, at build or relight
// (the double reports any write outside an allocation), and the height query still answers.
TEST_F(TerrainTest, BuffersWithoutRoomAreNeverWritten) {
    Device.RefuseAllocate = true;
    BuildFrom(300, 300, [](int r, int) { return static_cast<float>(r); });
    Ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    for (const RecordingVertexBuffer* buffer : Device.VertexBuffers)
        EXPECT_EQ(buffer->AppendCalls + buffer->SetCalls, 0);
    EXPECT_FLOAT_EQ(Ground.GetHeight(0.0f, 0.0f), 149.5f);
}

} // namespace
