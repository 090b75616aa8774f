// Whole runs of the veltra program, offscreen: its files, its messages and its exit codes.

#include "ProcessRunner.h"

#include "app/image/PngFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace {

class HostRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("veltra-run-" + std::to_string(random()));
        std::filesystem::create_directories(Folder);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    // veltra with the given arguments, headless, in the scratch folder, no display.
    ProcessResult Veltra(std::vector<std::string> args) const {
        args.insert(args.begin(), VELTRA_EXECUTABLE);
        ProcessOptions options;
        options.WorkDir = Folder;
        options.Environment["DISPLAY"] = std::nullopt;
        options.Environment["WAYLAND_DISPLAY"] = std::nullopt;
        return RunProcess(args, options);
    }

    std::string ReadLog(const std::string& name = "veltra.log") const {
        std::ifstream file(Folder / name);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path Folder;
};

} // namespace

TEST_F(HostRunTest, MissingOrWrongModuleIsAClearErrorWithExitCodeOne) {
    ProcessResult missing = Veltra({"--module", (Folder / "libnothing.so").string()});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Err.find("cannot load the engine module"), std::string::npos) << missing.Err;
    EXPECT_NE(missing.Err.find("libnothing.so"), std::string::npos) << missing.Err;

    // A library that is not an engine module.
    ProcessResult wrong = Veltra({"--module", VELTRA_PLATFORM_LIBRARY});
    EXPECT_EQ(wrong.ExitCode, 1);
    EXPECT_NE(wrong.Err.find("does not export CreateDllInterface"), std::string::npos) << wrong.Err;
}

TEST_F(HostRunTest, BadArgumentsExitWithTwoBeforeAnythingRuns) {
    ProcessResult result = Veltra({"--size", "big", "--log", "never.log"});
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_NE(result.Err.find("--size"), std::string::npos) << result.Err;
    EXPECT_FALSE(std::filesystem::exists(Folder / "never.log"));
}

TEST_F(HostRunTest, HeadlessRunWritesTheChosenFramesTheLogAndTheRate) {
    std::filesystem::create_directories(Folder / "frames");
    ProcessResult result =
        Veltra({"--frames", "7", "--every", "3", "--size", "96x72", "--screenshot", "frames/f-%02d.png"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    for (const char* name : {"f-01.png", "f-03.png", "f-06.png", "f-07.png"}) {
        std::optional<Image> frame = png::Read(Folder / "frames" / name);
        ASSERT_TRUE(frame) << name;
        EXPECT_EQ(frame->Width, 96);
        EXPECT_EQ(frame->Height, 72);
    }
    EXPECT_FALSE(std::filesystem::exists(Folder / "frames" / "f-02.png"));
    EXPECT_NE(result.Out.find("7 frames in"), std::string::npos) << result.Out;
    EXPECT_NE(result.Out.find("frames per second"), std::string::npos) << result.Out;
    EXPECT_NE(result.Out.find("4 PNG files"), std::string::npos) << result.Out;

    const std::string log = ReadLog();
    EXPECT_NE(log.find("Host: headless 96x72"), std::string::npos) << log;
    EXPECT_NE(log.find("Initialising VeltraEngine..."), std::string::npos) << log;
    EXPECT_NE(log.find("Releasing VeltraEngine..."), std::string::npos) << log;
    EXPECT_NE(log.find("Host: 7 frames in"), std::string::npos) << log;
}

TEST_F(HostRunTest, PlainScreenshotNameKeepsTheLastFrameAndWorkdirHoldsTheScript) {
    std::filesystem::create_directories(Folder / "scene");
    // The script runs from the working directory; its print shows on standard output.
    std::ofstream(Folder / "scene" / "HeightmapGeneration.lua") << "print('script ran here')\n";
    ProcessResult result = Veltra({"--frames", "3", "--size", "40x30", "--workdir", "scene", "--screenshot",
                                   "last.png", "--log", "run.log"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_NE(result.Out.find("script ran here"), std::string::npos) << result.Out;
    // Paths are relative to where veltra started, not to --workdir.
    EXPECT_TRUE(png::Read(Folder / "last.png"));
    EXPECT_FALSE(std::filesystem::exists(Folder / "scene" / "last.png"));
    EXPECT_NE(ReadLog("run.log").find("Host: 3 frames in"), std::string::npos);
}
