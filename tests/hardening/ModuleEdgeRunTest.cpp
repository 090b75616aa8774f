// Runs of the built module with its files missing, unreadable or unwritable, and with the module
// loaded a second time: each Init goes on and builds the scene, and frames run after it.

#include "BuiltScene.h"
#include "MemoryUse.h"
#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

class ModuleEdgeRunTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Harness.Create()) << Harness.Module.Error(); }
    void TearDown() override { Harness.Release(); }

    // Init, then a frame; what Init printed on standard error.
    std::string InitAndFrame() {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(Harness.Init());
        std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(Harness.Frame());
        return errors;
    }
    // The default grid was built and drawn.
    void ExpectDefaultScene() const {
        const BuiltScene scene = BuiltScene::From(Harness.Device);
        ASSERT_TRUE(scene.Found);
        EXPECT_EQ(scene.Columns, 50);
        EXPECT_EQ(scene.Rows, 50);
        EXPECT_EQ(scene.Highest, 250.0f);
        const RecordingVertexBuffer* terrain = Harness.Device.LastVertexBuffer(TerrainVertex::FormatCode);
        EXPECT_EQ(Harness.Device.Log->CountPrefix(terrain->Name + ".DrawIndexed(5,2500,"), 1);
    }

    ModuleHarness Harness;
};

TEST_F(ModuleEdgeRunTest, ALogThatCannotBeWrittenLosesItsLinesAndNothingElse) {
    for (const std::filesystem::path& place :
         {std::filesystem::path("/dev/null/veltra.log"), Harness.Folder / "missing" / "veltra.log"}) {
        Harness.TheKernel.GetLog().Open(place.string(), false, 0);
        EXPECT_EQ(InitAndFrame(), "");
        ExpectDefaultScene();
        Harness.Release();
        EXPECT_FALSE(std::filesystem::exists(place));
    }
    EXPECT_FALSE(std::filesystem::exists(Harness.Folder / "missing"));
}

TEST_F(ModuleEdgeRunTest, WithoutItsTextureTheTerrainIsDrawnUntextured) {
    Harness.Device.NextTexture = 0; // what a device gives for a missing "grid.bmp"
    EXPECT_EQ(InitAndFrame(), "");
    ASSERT_EQ(Harness.Device.TexturesRequested.size(), 1u);
    EXPECT_EQ(Harness.Device.TexturesRequested[0], "grid.bmp");
    EXPECT_EQ(Harness.Device.Log->CountPrefix("SetTexture"), 0);
    ExpectDefaultScene();
}

TEST_F(ModuleEdgeRunTest, AScriptThatIsADirectoryIsReportedAndTheDefaultsBuilt) {
    std::filesystem::create_directory(Harness.Folder / "HeightmapGeneration.lua");
    const std::string errors = InitAndFrame();
    EXPECT_NE(errors.find("cannot read HeightmapGeneration.lua"), std::string::npos) << errors;
    ExpectDefaultScene();
}

TEST_F(ModuleEdgeRunTest, AScriptThatIsAPipeIsNeverOpened) {
    // Opening a pipe to read it waits for a writer, which would never come.
    ASSERT_EQ(::mkfifo((Harness.Folder / "HeightmapGeneration.lua").c_str(), 0600), 0);
    const std::string errors = InitAndFrame();
    EXPECT_NE(errors.find("HeightmapGeneration.lua: not a regular file"), std::string::npos) << errors;
    ExpectDefaultScene();
}

TEST_F(ModuleEdgeRunTest, AScriptWithoutReadPermissionIsReported) {
    Harness.WriteFile("HeightmapGeneration.lua", "heightmap_generator.Width = 100");
    std::filesystem::permissions(Harness.Folder / "HeightmapGeneration.lua", std::filesystem::perms::none);
    const bool readable = ::access((Harness.Folder / "HeightmapGeneration.lua").c_str(), R_OK) == 0;
    const std::string errors = InitAndFrame();
    if (readable) { // as root, permissions do not keep anyone out
        EXPECT_EQ(errors, "");
        EXPECT_EQ(BuiltScene::From(Harness.Device).Columns, 100);
    } else {
        EXPECT_NE(errors.find("cannot open HeightmapGeneration.lua"), std::string::npos) << errors;
        ExpectDefaultScene();
    }
}

TEST(ModuleReloadTest, AModuleLoadedAgainStartsFromItsDefaults) {
    {
        ModuleHarness first;
        ASSERT_TRUE(first.Create());
        first.WriteFile("HeightmapGeneration.lua",
                        "heightmap_generator.Width = 100 heightmap_generator.NbHills = 0");
        ASSERT_TRUE(first.Init());
        EXPECT_EQ(BuiltScene::From(first.Device).Columns, 100);
        first.Release();
    }
    // Nothing keeps the module loaded once its last user has closed it.
    EXPECT_EQ(dlopen(VELTRA_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);

    ModuleHarness second;
    ASSERT_TRUE(second.Create());
    ASSERT_TRUE(second.Init());
    const BuiltScene scene = BuiltScene::From(second.Device);
    EXPECT_EQ(scene.Columns, 50);
    EXPECT_EQ(scene.Highest, 250.0f);
    second.Release();
}

} // namespace

TEST_F(ModuleEdgeRunTest, EachInitRunsTheScriptInAFreshStateAndTheLastOneIsFreed) {
    // Each run keeps 16 MiB (a million-entry array) alive in a global; four Inits must not hold four of them.
    Harness.WriteFile("HeightmapGeneration.lua", "kept = {}\n"
                                                 "for i = 1, 1000000 do kept[i] = i end\n"
                                                 "heightmap_generator.Width = 60\n");
    ASSERT_TRUE(Harness.Init());
    const MemoryUse first = MemoryUse::Now();
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(Harness.Init());
        ASSERT_TRUE(Harness.Frame());
    }
    const MemoryUse last = MemoryUse::Now();
    EXPECT_LT(last.HeapBytes, first.HeapBytes + (8u << 20));
    EXPECT_EQ(BuiltScene::From(Harness.Device).Columns, 60);
}
