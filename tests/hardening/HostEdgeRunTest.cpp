// Whole runs of the veltra program with a file missing, unreadable or unwritable: each run says
// what went wrong, and draws its frames all the same unless it cannot keep its log.

#include "RunFixture.h"
#include "XvfbServer.h"
#include "app/image/PngFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

class HostEdgeRunTest : public RunFixture {
protected:
    const std::vector<std::string> Frames{"--frames", "3", "--size", "40x30"};

    std::vector<std::string> FramesAnd(std::vector<std::string> more) const {
        more.insert(more.begin(), Frames.begin(), Frames.end());
        return more;
    }
    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

TEST_F(HostEdgeRunTest, ALogThatCannotBeWrittenStopsTheRunBeforeAnythingStarts) {
    // Under a regular file: no one can make that folder, root included.
    const ProcessResult result = Veltra(FramesAnd({"--log", "/dev/null/veltra.log"}));
    EXPECT_EQ(result.ExitCode, 2) << result.Err;
    EXPECT_TRUE(Has(result.Err, "cannot write the log")) << result.Err;
    EXPECT_TRUE(Has(result.Err, "/dev/null")) << result.Err;
    EXPECT_FALSE(Has(result.Out, "frames in")) << result.Out;
}

TEST_F(HostEdgeRunTest, WithoutGridBmpAnywhereTheTerrainIsDrawnUntextured) {
    // A copy of the program without the assets folder beside it, run where there is no grid.bmp.
    std::filesystem::create_directories(Folder / "bare");
    std::filesystem::copy_file(VELTRA_EXECUTABLE, Folder / "bare" / "veltra");
    ProcessOptions options;
    options.WorkDir = Folder;
    options.Environment["DISPLAY"] = std::nullopt;
    options.Environment["WAYLAND_DISPLAY"] = std::nullopt;
    const ProcessResult result =
        RunProcess({(Folder / "bare" / "veltra").string(), "--frames", "3", "--size", "40x30", "--module",
                    VELTRA_MODULE_PATH, "--screenshot", "last.png"},
                   options);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "grid.bmp not found in the working directory and")) << result.Err;
    EXPECT_TRUE(Has(result.Out, "3 frames in")) << result.Out;
    EXPECT_TRUE(std::filesystem::exists(Folder / "last.png"));
    const std::string log = ReadText("veltra.log");
    EXPECT_TRUE(Has(log, "Host: grid.bmp not found")) << log;
    EXPECT_TRUE(Has(log, "Releasing VeltraEngine...")) << log;
}

TEST_F(HostEdgeRunTest, AScriptThatCannotBeReadIsReportedAndTheDefaultsAreUsed) {
    // A directory of that name cannot be read even by root; a pipe would block whoever opened it.
    std::filesystem::create_directory(Folder / "HeightmapGeneration.lua");
    ProcessResult result = Veltra(Frames);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "cannot read HeightmapGeneration.lua")) << result.Err;
    EXPECT_TRUE(Has(ReadText("veltra.log"), "Releasing VeltraEngine..."));

    std::filesystem::remove(Folder / "HeightmapGeneration.lua");
    ASSERT_EQ(::mkfifo((Folder / "HeightmapGeneration.lua").c_str(), 0600), 0);
    result = Veltra(Frames);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "HeightmapGeneration.lua: not a regular file")) << result.Err;
    EXPECT_TRUE(Has(result.Out, "3 frames in")) << result.Out;
}

TEST_F(HostEdgeRunTest, AWindowMovedAndSizedToExtremesStillFollowsTheScript) {
    if (!XvfbServer::Installed())
        GTEST_SKIP() << XvfbServer::Program << " is not installed (scripts/deps installs it)";
    XvfbServer server;
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    WriteText("HeightmapGeneration.lua",
              "window:ResizeWindow(1e9, -5) window:PlaceWindow(2^31, -2^31) window:MoveWindow(2^31, 2^31)\n"
              "window:HideWindow() window:ShowWindow() window:ResizeWindow(0, 0) window:PlaceWindow(-40000, "
              "70000)\n"
              "window:PlaceWindow(0, 0) window:ResizeWindow(120, 90)\n");
    ProcessOptions options;
    options.WorkDir = Folder;
    options.Environment["DISPLAY"] = server.Display();
    const ProcessResult result = RunProcess(
        {VELTRA_EXECUTABLE, "--frames", "10", "--size", "160x120", "--screenshot", "last.png"}, options);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(ReadText("veltra.log"), "Host: window (x11)"));
    const std::optional<Image> frame = png::Read(Folder / "last.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Width, 120);
    EXPECT_EQ(frame->Height, 90);
}

} // namespace
