#include "render/Terrain.h"
#include "heightmap/Heightmap.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
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

    std::vector<std::uint16_t> Indices() const {
        return Device.IndexBuffers.empty() ? std::vector<std::uint16_t>{}
                                           : Device.IndexBuffers.back()->Indices();
    }

    TerrainVertex Vertex(int n) const {
        TerrainVertex vertex;
        EXPECT_TRUE(Ground.Mesh->GetVertex(n, &vertex));
        return vertex;
    }

    bool HasNormal(int n) const {
        const TerrainVertex v = Vertex(n);
        return v.NX != 0.0f || v.NY != 0.0f || v.NZ != 0.0f;
    }
};

TEST_F(TerrainTest, ThreeByThreeGridGivesTheJoinedStripAndOneNormal) {
    BuildFrom(3, 3, [](int r, int c) { return static_cast<float>(r * 3 + c); });
    EXPECT_EQ(Ground.GridWidth, 3);
    EXPECT_EQ(Ground.GridHeight, 3);
    EXPECT_EQ(Device.Log->Calls[1], "VB1.Allocate(9,36,0,0x152)");
    EXPECT_EQ(Device.Log->Calls[3], "IB1.Allocate(16,2,0)");
    EXPECT_EQ(Indices(), (std::vector<std::uint16_t>{0, 3, 1, 4, 2, 5, 5, 3, 3, 6, 3, 6, 4, 7, 5, 8}));
    for (int n = 0; n < 9; ++n)
        EXPECT_EQ(HasNormal(n), n == 4) << "vertex " << n;

    // Rows run along x, columns along z; the texture follows the grid.
    const TerrainVertex corner = Vertex(0), middle = Vertex(5), last = Vertex(8);
    EXPECT_EQ(corner.X, -500.0f);
    EXPECT_EQ(corner.Z, -500.0f);
    EXPECT_EQ(middle.X, 0.0f);   // row 1
    EXPECT_EQ(middle.Z, 500.0f); // column 2
    EXPECT_EQ(middle.Y, 5.0f);
    EXPECT_EQ(middle.U, 1.0f);
    EXPECT_EQ(middle.V, 0.5f);
    EXPECT_EQ(last.X, 500.0f);
    for (int n = 0; n < 9; ++n)
        EXPECT_EQ(Vertex(n).Diffuse, 0xFFFFFFFFu);
}

TEST_F(TerrainTest, TwoByTwoGridGivesFourIndicesAndNoNormals) {
    BuildFrom(2, 2);
    EXPECT_EQ(Indices(), (std::vector<std::uint16_t>{0, 2, 1, 3}));
    for (int n = 0; n < 4; ++n)
        EXPECT_FALSE(HasNormal(n));
}

// Every quad of the grid is covered by two triangles of the same winding; the joins add only
// degenerate ones.
TEST_F(TerrainTest, StripCoversEveryCellOnceWithOneWinding) {
    const int width = 5, height = 4;
    BuildFrom(width, height);
    const std::vector<std::uint16_t> indices = Indices();
    ASSERT_EQ(indices.size(), static_cast<std::size_t>((height - 1) * (2 * width + 4) - 4));
    std::multiset<std::set<int>> triangles;
    int windingSign = 0;
    for (std::size_t i = 2; i < indices.size(); ++i) {
        const int a = indices[i - 2], b = indices[i - 1], c = indices[i];
        if (a == b || b == c || a == c)
            continue;
        const TerrainVertex va = Vertex(a), vb = Vertex(b), vc = Vertex(c);
        float area = (vb.X - va.X) * (vc.Z - va.Z) - (vc.X - va.X) * (vb.Z - va.Z);
        if (i % 2 == 1)
            area = -area; // odd strip positions flip their order
        const int sign = area > 0.0f ? 1 : -1;
        if (windingSign == 0)
            windingSign = sign;
        EXPECT_EQ(sign, windingSign) << "triangle ending at " << i;
        triangles.insert({a, b, c});
    }
    EXPECT_EQ(triangles.size(), static_cast<std::size_t>(2 * (width - 1) * (height - 1)));
    EXPECT_EQ(std::set<std::set<int>>(triangles.begin(), triangles.end()).size(), triangles.size());
}

TEST_F(TerrainTest, NormalsPointUpOnFlatGroundAndLeanDownhillOnASlope) {
    BuildFrom(5, 4);
    for (int r = 1; r < 3; ++r)
        for (int c = 1; c < 4; ++c) {
            const TerrainVertex v = Vertex(r * 5 + c);
            EXPECT_EQ(v.NX, 0.0f);
            EXPECT_EQ(v.NY, 1.0f);
            EXPECT_EQ(v.NZ, 0.0f);
        }
    for (int n : {0, 4, 5, 9, 15, 19})
        EXPECT_FALSE(HasNormal(n)) << "border vertex " << n;

    // Ground rising along x with slope 0.5 (rows are 1000/3 apart): normal (-0.5, 1, 0) normalised.
    Terrain sloped;
    Heightmap grid(5, 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            grid.Data[r * 5 + c] = 0.5f * (static_cast<float>(r) * 1000.0f / 3.0f);
    sloped.Build(&Device, &grid);
    TerrainVertex v;
    ASSERT_TRUE(sloped.Mesh->GetVertex(7, &v));
    EXPECT_NEAR(v.NX, -0.5f / std::sqrt(1.25f), 1e-5);
    EXPECT_NEAR(v.NY, 1.0f / std::sqrt(1.25f), 1e-5);
    EXPECT_NEAR(v.NZ, 0.0f, 1e-5);
}

TEST_F(TerrainTest, HeightIsInterpolatedOnTheGridAndZeroOffIt) {
    // Heights linear in row and column: interpolation gives back the same linear function of the
    // query's grid coordinates, which scale by W and H (not W - 1, H - 1).
    const int width = 6, height = 5;
    auto linear = [](float row, float column) { return 2.0f * row + 3.0f * column; };
    BuildFrom(width, height,
              [&](int r, int c) { return linear(static_cast<float>(r), static_cast<float>(c)); });
    auto expected = [&](float z, float x) {
        return linear((x + 500.0f) / 1000.0f * height, (z + 500.0f) / 1000.0f * width);
    };
    for (float z : {-450.0f, -300.0f, 0.0f, 123.0f, 330.0f})
        for (float x : {-480.0f, -10.0f, 250.0f, 290.0f})
            EXPECT_NEAR(Ground.GetHeight(z, x), expected(z, x), 1e-3) << z << ", " << x;
    // Within one query cell below the low edges the first cell's slope carries on.
    EXPECT_NEAR(Ground.GetHeight(-550.0f, -520.0f), expected(-550.0f, -520.0f), 1e-3);

    // The last query cell before the high edges, the edges themselves and beyond give 0.
    for (auto [z, x] :
         {std::pair{500.0f, 0.0f}, std::pair{0.0f, 500.0f}, std::pair{340.0f, 0.0f}, std::pair{0.0f, 305.0f},
          std::pair{-700.0f, 0.0f}, std::pair{0.0f, -701.0f}, std::pair{1e30f, 0.0f}, std::pair{0.0f, -1e30f},
          std::pair{NAN, 0.0f}, std::pair{0.0f, INFINITY}})
        EXPECT_EQ(Ground.GetHeight(z, x), 0.0f) << z << ", " << x;

    EXPECT_EQ(Terrain().GetHeight(0.0f, 0.0f), 0.0f); // before Build
}

TEST_F(TerrainTest, RenderSetsTheTextureThenDrawsTheWholeStrip) {
    Terrain empty;
    empty.Render(&Device);
    EXPECT_TRUE(Device.Log->Calls.empty());

    BuildFrom(3, 3);
    Device.Log->Calls.clear();
    Ground.Render(&Device);
    EXPECT_EQ(Device.Log->Calls, (Calls{"IB1.Select", "VB1.DrawIndexed(5,9,14)"}));
    Device.Log->Calls.clear();
    Ground.GetTexture() = 7;
    EXPECT_EQ(Ground.Texture, 7u);
    Ground.Render(&Device);
    EXPECT_EQ(Device.Log->Calls, (Calls{"SetTexture(7,0)", "IB1.Select", "VB1.DrawIndexed(5,9,14)"}));
}

TEST_F(TerrainTest, GridsItCannotBuildAreRefused) {
    for (auto [width, height] :
         {std::pair{1, 5}, std::pair{5, 1}, std::pair{257, 256}, std::pair{65537, 1}}) {
        Heightmap grid(width, height);
        Ground.Build(&Device, &grid);
    }
    Heightmap fine(3, 3);
    Ground.Build(nullptr, &fine);
    Ground.Build(&Device, nullptr);
    EXPECT_EQ(Ground.Mesh, nullptr);
    EXPECT_EQ(Ground.GridWidth, 0);
    EXPECT_TRUE(Device.Log->Calls.empty());
}

TEST_F(TerrainTest, LargestGridReachesTheLastVertexAndARebuildFreesTheOldMesh) {
    Device.Log->Enabled = false;
    BuildFrom(256, 256, [](int r, int c) { return static_cast<float>((r * c) % 7); });
    const std::vector<std::uint16_t> indices = Indices();
    ASSERT_EQ(indices.size(), 255u * (2 * 256 + 4) - 4);
    EXPECT_EQ(indices.back(), 65535);
    EXPECT_EQ(Device.VertexBuffers.back()->AppendCalls, 65536);

    BuildFrom(4, 4);
    EXPECT_EQ(Device.Log->LiveBuffers.size(), 2u);
    EXPECT_EQ(Ground.GridWidth, 4);
}

} // namespace
