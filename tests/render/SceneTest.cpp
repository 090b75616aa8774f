// The scene as a host sees it: the built module driven through its exported functions.

#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapGenerator.h"
#include "platform/RuntimeRandom.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class SceneTest : public ::testing::Test {
protected:
    ModuleHarness Harness;

    void SetUp() override { ASSERT_TRUE(Harness.Create()) << Harness.Module.Error(); }

    const CallLog& Calls() const { return *Harness.Device.Log; }
    std::vector<float> Heights() const {
        std::vector<float> heights;
        for (const TerrainVertex& v : TerrainReadBack::From(Harness.Device).Grid)
            heights.push_back(v.Y);
        return heights;
    }
    std::vector<std::string> Logged(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : Harness.LogLines())
            if (const auto at = line.find("\t" + prefix); at != std::string::npos)
                found.push_back(line.substr(at + 1));
        return found;
    }
};

TEST_F(SceneTest, InitWithoutScriptBuildsTheDefaultTerrainBoxAndTexture) {
    ASSERT_TRUE(Harness.Init());
    const TerrainReadBack terrain = TerrainReadBack::From(Harness.Device);
    EXPECT_EQ(terrain.Width, 50);
    EXPECT_EQ(terrain.Height, 50);
    ASSERT_EQ(terrain.Tiles.size(), 1u);
    EXPECT_EQ(terrain.StripProblems(), "");
    // Squared, normalised and scaled: exactly 0.0 to exactly 250.0.
    const std::vector<float> heights = Heights();
    EXPECT_EQ(*std::min_element(heights.begin(), heights.end()), 0.0f);
    EXPECT_EQ(*std::max_element(heights.begin(), heights.end()), 250.0f);

    // The box: 8 vertices and 36 indices, made after the terrain; then the texture.
    ASSERT_NE(Harness.Device.LastVertexBuffer(0x102), nullptr);
    EXPECT_EQ(Harness.Device.LastVertexBuffer(0x102)->AppendCalls, 8);
    EXPECT_LT(Calls().Find("CreateIndexBuffer->IB1"), Calls().Find("CreateVertexBuffer->VB2"));
    EXPECT_EQ(Harness.Device.TexturesRequested, std::vector<std::string>{"grid.bmp"});
    EXPECT_GT(Calls().Find("LoadTexture(grid.bmp)"), Calls().Find("IB2.Allocate(36,2,0)"));
}

TEST_F(SceneTest, ReleaseDeletesTheBoxThenTheTerrainAndASecondReleaseNothing) {
    Harness.Init();
    Harness.Release();
    EXPECT_LT(Calls().Find("VB2.~"), Calls().Find("IB1.Free"));
    EXPECT_TRUE(Calls().LiveBuffers.empty());
    const std::size_t calls = Calls().Calls.size();
    Harness.Release();
    EXPECT_EQ(Calls().Calls.size(), calls);
}

TEST_F(SceneTest, SceneIsFreedWhenReleaseIsSkippedAndReplacedOnASecondInit) {
    Harness.Init();
    Harness.Init(); // the first scene must not be leaked
    EXPECT_EQ(Calls().LiveBuffers.size(), 4u);
    EXPECT_EQ(Harness.Device.TexturesRequested.size(), 2u);
    Harness.Destroy();
    EXPECT_TRUE(Calls().LiveBuffers.empty());
}

TEST_F(SceneTest, InitWithoutADeviceBuildsNoBuffersAndReleasesCleanly) {
    EXPECT_TRUE(Harness.Engine()->Init(nullptr));
    Harness.Release();
    EXPECT_TRUE(Calls().Calls.empty());
}

// A script's Seed makes the terrain reproducible: the same heights on every Init, those of a plain
// generation from that seed; without it the clock seeds. Either way the log says what was used.
TEST_F(SceneTest, ASeedGivesTheSameTerrainEveryRunAndTheLogSaysWhatWasUsed) {
    ASSERT_TRUE(Harness.Init());
    ASSERT_EQ(Logged("-> Terrain").size(), 1u);
    EXPECT_TRUE(Logged("-> Terrain")[0].starts_with("-> Terrain 50 x 50, 150 hills of radius 4 to 8, seed "));

    Harness.WriteFile("HeightmapGeneration.lua", "heightmap_generator.Width = 70\n"
                                                 "heightmap_generator.NbHills = 40\n"
                                                 "heightmap_generator.Seed = 1234\n");
    ASSERT_TRUE(Harness.Init());
    const std::vector<float> first = Heights();
    ASSERT_TRUE(Harness.Init());
    EXPECT_EQ(Heights(), first);
    EXPECT_EQ(Logged("-> Terrain").back(), "-> Terrain 70 x 50, 40 hills of radius 4 to 8, seed 1234");

    veltra::platform::RuntimeSrand(1234);
    HeightmapGenerator generator;
    Heightmap* plain = generator.Generate(70, 50, 40, 4.0f, 8.0f);
    plain->Square();
    plain->Normalize();
    plain->Scale(250.0f);
    EXPECT_EQ(first, std::vector<float>(plain->Data, plain->Data + 70 * 50));
    delete plain;
}

} // namespace
