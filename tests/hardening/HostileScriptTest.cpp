// Every script of the hostile catalogue through the built module: Init goes on, the scene is
// built from sane values, what the script set before it failed is kept, and a frame draws it.

#include "BuiltScene.h"
#include "HostileScripts.h"
#include "heightmap/GridLimits.h"
#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

class HostileScriptTest : public ::testing::TestWithParam<HostileScript> {
protected:
    void SetUp() override { ASSERT_TRUE(Harness.Create()) << Harness.Module.Error(); }
    void TearDown() override { Harness.Release(); }
    ModuleHarness Harness;
};

TEST_P(HostileScriptTest, InitBuildsASaneSceneAndAFrameDrawsIt) {
    const HostileScript& script = GetParam();
    Harness.WriteFile("HeightmapGeneration.lua", script.Source);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool initialised = Harness.Init();
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(initialised);
    if (script.Error == nullptr) {
        EXPECT_EQ(errors, "");
    } else {
        EXPECT_NE(errors.find(script.Error), std::string::npos) << errors;
    }
    if (script.Output != nullptr) {
        EXPECT_NE(output.find(script.Output), std::string::npos) << output;
    }
    if (script.Logged != nullptr) {
        const std::vector<std::string> lines = Harness.LogLines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(script.Logged) != std::string::npos;
        })) << script.Logged;
    }

    const BuiltScene scene = BuiltScene::From(Harness.Device);
    ASSERT_TRUE(scene.Found);
    EXPECT_EQ(scene.Columns, script.Columns);
    EXPECT_EQ(scene.Rows, script.Rows);
    EXPECT_EQ(scene.Vertices, scene.Columns * scene.Rows);
    EXPECT_EQ(scene.Indices, BuiltScene::StripIndices(scene.Columns, scene.Rows));
    EXPECT_TRUE(scene.IndicesInRange);
    EXPECT_TRUE(scene.Finite);
    EXPECT_GE(scene.Lowest, 0.0f);
    EXPECT_LE(scene.Highest, 250.0f);
    if (script.Ground != Relief::Any) {
        EXPECT_EQ(scene.Highest, script.Ground == Relief::Flat ? 0.0f : 250.0f);
    }

    // A frame draws the whole strip from a finite camera.
    const int before = static_cast<int>(Harness.Device.Log->Calls.size());
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Harness.Frame());
    testing::internal::GetCapturedStdout();
    const std::string draw =
        ".DrawIndexed(5," + std::to_string(scene.Vertices) + "," + std::to_string(scene.Indices - 2) + ")";
    int draws = 0;
    for (std::size_t i = static_cast<std::size_t>(before); i < Harness.Device.Log->Calls.size(); ++i)
        draws += Harness.Device.Log->Calls[i].ends_with(draw);
    EXPECT_EQ(draws, 1) << draw;
    ASSERT_FALSE(Harness.Device.Cameras.empty());
    const CameraCall& camera = Harness.Device.Cameras.back();
    for (const float value : {camera.Tx, camera.Ty, camera.Tz, camera.Yaw, camera.Pitch})
        EXPECT_TRUE(std::isfinite(value));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, HostileScriptTest, ::testing::ValuesIn(HostileScriptCatalogue()),
                         [](const auto& test) { return std::string(test.param.Name); });

} // namespace
