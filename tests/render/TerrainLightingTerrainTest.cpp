// The terrain's UpdateLighting through a host that does only what the contract says: the colours of
// the reference version on the host's own vertices, every interior vertex written with Set in every
// tile that holds it on every call, nothing read back, nothing else changed.

#include "render/Terrain.h"
#include "TerrainLightingGrids.h"
#include "TerrainLightingOracle.h"
#include "heightmap/Heightmap.h"
#include "render/TerrainLighting.h"
#include "support/RecordingRenderer.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Shape {
    int Width, Height;
};

class TerrainLightingTerrainTest : public ::testing::TestWithParam<Shape> {
protected:
    RecordingRenderer Device;
    Terrain Ground;

    // The module's storage is shared by every terrain: each test starts from the state at load.
    void SetUp() override {
        TerrainLighting::Module().Reset();
        Device.Log->Enabled = false;
    }
    void TearDown() override { TerrainLighting::Module().Reset(); }
};

TEST_P(TerrainLightingTerrainTest, MatchesTheReferenceOnTheHostsVerticesOverConsecutiveCalls) {
    const int width = GetParam().Width, height = GetParam().Height;
    Heightmap grid(width, height);
    const std::vector<float> heights = lighting_grids::Hills(width, height, 77);
    std::copy(heights.begin(), heights.end(), grid.Data);
    Ground.Build(&Device, &grid);
    const TerrainReadBack built = TerrainReadBack::From(Device);
    ASSERT_TRUE(built.Whole);
    std::vector<TerrainVertex> reference = built.Grid;
    TerrainLightingOracle oracle;
    // Each tile writes the interior vertices it holds, shared ones included.
    long long interiorHeld = 0;
    for (const TerrainReadBack::Tile& tile : built.Tiles)
        for (const int n : tile.GridVertex)
            interiorHeld += n / width > 0 && n / width < height - 1 && n % width > 0 && n % width < width - 1;

    struct Call {
        float X, Y, Z;
        int Smoothing;
    };
    const Call calls[] = {{100.0f, -35.0f, 0.0f, 3},
                          {45.0f, -15.0f, 4.0f, 3},
                          {-12.0f, -15.0f, 43.0f, 3},
                          {-44.0f, -15.0f, -8.0f, 5},
                          {30.0f, -15.0f, -33.0f, 1}};
    for (const Call& call : calls) {
        long long setsBefore = 0, getsBefore = 0;
        for (const RecordingVertexBuffer* buffer : Device.VertexBuffers) {
            setsBefore += buffer->SetCalls;
            getsBefore += buffer->GetCalls;
        }
        Ground.UpdateLighting(nullptr, call.X, call.Y, call.Z, call.Smoothing);
        long long sets = -setsBefore, gets = -getsBefore;
        for (const RecordingVertexBuffer* buffer : Device.VertexBuffers) {
            sets += buffer->SetCalls;
            gets += buffer->GetCalls;
        }
        EXPECT_EQ(sets, interiorHeld);
        EXPECT_EQ(gets, 0);

        oracle.UpdateLighting(reference, width, height, Ground.ExtentX, Ground.ExtentZ, call.X, call.Y,
                              call.Z, call.Smoothing);
        const TerrainReadBack lit = TerrainReadBack::From(Device);
        ASSERT_TRUE(lit.Whole) << "a vertex differs between the tiles that hold it";
        for (std::size_t n = 0; n < lit.Grid.size(); ++n)
            // The colour of the reference; position, normal and texture as built.
            ASSERT_EQ(std::memcmp(&lit.Grid[n], &reference[n], sizeof(TerrainVertex)), 0) << "vertex " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Grids, TerrainLightingTerrainTest, ::testing::Values(Shape{46, 53}, Shape{300, 230}),
                         [](const ::testing::TestParamInfo<Shape>& param) {
                             return std::to_string(param.param.Width) + "x" +
                                    std::to_string(param.param.Height);
                         });

} // namespace
