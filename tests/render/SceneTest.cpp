// The scene as a host sees it: the built module driven through its exported functions.

#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

class SceneTest : public ::testing::Test {
protected:
    ModuleHarness Harness;

    void SetUp() override { ASSERT_TRUE(Harness.Create()) << Harness.Module.Error(); }

    RecordingVertexBuffer* TerrainVertices() const { return Harness.Device.LastVertexBuffer(0x152); }
    RecordingVertexBuffer* BoxVertices() const { return Harness.Device.LastVertexBuffer(0x102); }
    const CallLog& Calls() const { return *Harness.Device.Log; }

    std::vector<float> TerrainHeights() const {
        const RecordingVertexBuffer* buffer = TerrainVertices();
        std::vector<float> heights;
        for (int n = 0; n < buffer->AllocatedCount; ++n) {
            TerrainVertex vertex;
            std::memcpy(&vertex, buffer->Data() + n * sizeof(TerrainVertex), sizeof(TerrainVertex));
            heights.push_back(vertex.Y);
        }
        return heights;
    }
};

TEST_F(SceneTest, InitWithoutScriptBuildsTheDefaultTerrainBoxAndTexture) {
    ASSERT_TRUE(Harness.Init());

    // A 50 x 50 terrain: one strip of (H - 1)(2W + 4) - 4 indices, all filled.
    const RecordingVertexBuffer* terrain = TerrainVertices();
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->AllocatedCount, 50 * 50);
    EXPECT_EQ(terrain->AppendCalls, 50 * 50);
    const RecordingIndexBuffer* strip = Harness.Device.IndexBuffers.at(0);
    EXPECT_EQ(strip->AllocatedCount, 49 * (2 * 50 + 4) - 4);
    EXPECT_EQ(strip->AppendedCount, strip->AllocatedCount);
    const std::vector<std::uint16_t>& indices = strip->Indices();
    EXPECT_LT(*std::max_element(indices.begin(), indices.end()), 2500);

    // Squared, normalised and scaled: exactly 0.0 to exactly 250.0.
    const std::vector<float> heights = TerrainHeights();
    EXPECT_EQ(*std::min_element(heights.begin(), heights.end()), 0.0f);
    EXPECT_EQ(*std::max_element(heights.begin(), heights.end()), 250.0f);

    // The box: 8 vertices and 36 indices, made after the terrain.
    const RecordingVertexBuffer* box = BoxVertices();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->AppendCalls, 8);
    EXPECT_EQ(Harness.Device.IndexBuffers.at(1)->AppendedCount, 36);
    EXPECT_LT(Calls().Find("CreateIndexBuffer->IB1"), Calls().Find("CreateVertexBuffer->VB2"));

    EXPECT_EQ(Harness.Device.TexturesRequested, std::vector<std::string>{"grid.bmp"});
    EXPECT_GT(Calls().Find("LoadTexture(grid.bmp)"), Calls().Find("IB2.Allocate(36,2,0)"));
}

TEST_F(SceneTest, ReleaseDeletesTheBoxThenTheTerrain) {
    Harness.Init();
    const int start = static_cast<int>(Calls().Calls.size());
    Harness.Release();
    const std::vector<std::string> released(Calls().Calls.begin() + start, Calls().Calls.end());
    EXPECT_EQ(released, (std::vector<std::string>{"IB2.Free", "IB2.~", "VB2.Free", "VB2.~", "IB1.Free",
                                                  "IB1.~", "VB1.Free", "VB1.~"}));
    EXPECT_TRUE(Calls().LiveBuffers.empty());
    Harness.Release(); // a second Release finds nothing to delete
    EXPECT_EQ(static_cast<int>(Calls().Calls.size()), start + 8);
}

TEST_F(SceneTest, SceneIsFreedWhenReleaseIsSkippedAndReplacedOnASecondInit) {
    Harness.Init();
    Harness.Init(); // the first scene must not be leaked
    EXPECT_EQ(Calls().LiveBuffers.size(), 4u);
    EXPECT_EQ(Harness.Device.TexturesRequested.size(), 2u);
    Harness.Destroy();
    EXPECT_TRUE(Calls().LiveBuffers.empty());
}

// Values a script may set that would break the terrain, make its heights infinite or keep Init
// busy for minutes are bounded, and each bound is logged.
TEST_F(SceneTest, ScriptValuesOutOfBoundsAreBoundedAndLogged) {
    Harness.WriteFile("HeightmapGeneration.lua", "local g = heightmap_generator\n"
                                                 "g.Width = 1000 g.Height = 1\n"
                                                 "g.NbHills = 2000000000 g.MaxHillRadius = 2000000000\n");
    ASSERT_TRUE(Harness.Init());
    auto logged = [&](const std::string& message) {
        for (const std::string& line : Harness.LogLines())
            if (line.ends_with("\t" + message))
                return true;
        return false;
    };
    EXPECT_TRUE(logged("-> Grid size 1000 x 1 requested, 256 x 2 used"));
    EXPECT_TRUE(logged("-> Hill radii 4 to 2000000000 requested, 4 to 4096 used"));
    // Every hill now reaches all 512 cells: 64Mi cell visits make 131072 hills.
    EXPECT_TRUE(logged("-> Hills 2000000000 requested, 131072 raised"));

    EXPECT_EQ(TerrainVertices()->AllocatedCount, 512);
    const std::vector<float> heights = TerrainHeights();
    EXPECT_EQ(*std::min_element(heights.begin(), heights.end()), 0.0f);
    EXPECT_EQ(*std::max_element(heights.begin(), heights.end()), 250.0f);
}

TEST_F(SceneTest, InitWithoutADeviceBuildsNoBuffersAndReleasesCleanly) {
    EXPECT_TRUE(Harness.Engine()->Init(nullptr));
    Harness.Release();
    EXPECT_TRUE(Calls().Calls.empty());
}

} // namespace
