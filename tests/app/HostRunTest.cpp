// Whole runs of the veltra program: its files, its messages, its exit codes and its window.

#include "RunFixture.h"

class HostRunTest : public RunFixture {};

TEST_F(HostRunTest, MissingOrWrongModuleIsAClearErrorWithExitCodeOne) {
    ProcessResult missing = Veltra({"--module", (Folder / "libnothing.so").string()});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_TRUE(Has(missing.Err, "cannot load the engine module")) << missing.Err;
    EXPECT_TRUE(Has(missing.Err, "libnothing.so")) << missing.Err;
    // A library that is not an engine module.
    ProcessResult wrong = Veltra({"--module", VELTRA_PLATFORM_LIBRARY});
    EXPECT_EQ(wrong.ExitCode, 1);
    EXPECT_TRUE(Has(wrong.Err, "does not export CreateDllInterface")) << wrong.Err;
}

TEST_F(HostRunTest, BadArgumentsExitWithTwoBeforeAnythingRuns) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--size", "big", "--log", "never.log"},
          {"--log", "", "--screenshot", "never.png"},
          {"--log", "/dev/full"}}) {
        ProcessResult result = Veltra(args);
        EXPECT_EQ(result.ExitCode, 2) << args[1] << result.Err;
        EXPECT_TRUE(Has(result.Err, args[0] + ": ")) << result.Err;
    }
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(Folder), std::filesystem::directory_iterator()),
        1); // only .out
}

TEST_F(HostRunTest, HeadlessRunWritesTheChosenFramesTheLogAndTheRate) {
    std::filesystem::create_directories(Folder / "frames");
    ProcessResult result =
        Veltra({"--frames", "7", "--every", "3", "--size", "96x72", "--screenshot", "frames/f-%02d.png"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    for (const char* name : {"f-01.png", "f-03.png", "f-06.png", "f-07.png"}) {
        std::optional<Image> frame = ReadPng(std::string("frames/") + name);
        ASSERT_TRUE(frame) << name;
        EXPECT_EQ(frame->Width, 96);
        EXPECT_EQ(frame->Height, 72);
    }
    EXPECT_FALSE(std::filesystem::exists(Folder / "frames" / "f-02.png"));
    EXPECT_TRUE(Has(result.Out, "7 frames in")) << result.Out;
    EXPECT_TRUE(Has(result.Out, "4 PNG files: " + (Folder / "frames/f-01.png").string() + " to "))
        << result.Out;
    const std::string log = ReadText("veltra.log");
    for (const char* line : {"Host: headless 96x72", "Initialising VeltraEngine...", "Host: unpaced",
                             "Releasing VeltraEngine...", "Host: 7 frames in"})
        EXPECT_TRUE(Has(log, line)) << line << "\n" << log;
}

TEST_F(HostRunTest, PlainScreenshotNameKeepsTheLastFrameAndWorkdirHoldsTheScript) {
    std::filesystem::create_directories(Folder / "scene");
    // The script runs from the working directory; its print shows on standard output.
    WriteText("scene/HeightmapGeneration.lua", "print('script ran here')\n");
    ProcessResult result = Veltra({"--frames", "3", "--size", "40x30", "--workdir", "scene", "--screenshot",
                                   "last-%%.png", "--log", "run.log"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Out, "script ran here")) << result.Out;
    // Paths are relative to where veltra started, not to --workdir; %% is a percent sign.
    EXPECT_TRUE(ReadPng("last-%.png"));
    EXPECT_TRUE(Has(result.Out, "1 PNG file: " + (Folder / "last-%.png").string() + "\n")) << result.Out;
    EXPECT_TRUE(Has(ReadText("run.log"), "Host: 3 frames in"));
}

TEST_F(HostRunTest, TheScriptSizesTheFramesUnlessSizeIsGivenAndWithinBounds) {
    WriteText("HeightmapGeneration.lua", "window:ResizeWindow(0, 100000)\n");
    ProcessResult result = Veltra({"--frames", "1", "--screenshot", "s.png"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    std::optional<Image> frame = ReadPng("s.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Width, 1);
    EXPECT_EQ(frame->Height, 8192);
    EXPECT_TRUE(Has(result.Err, "0x100000 is outside 1x1 to 8192x8192; using 1x8192")) << result.Err;
    EXPECT_TRUE(Has(ReadText("veltra.log"), "0x100000 is outside")) << ReadText("veltra.log");

    result = Veltra({"--frames", "1", "--screenshot", "s.png", "--size", "40x30"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    frame = ReadPng("s.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Width, 40);
    EXPECT_EQ(frame->Height, 30);
}

TEST_F(HostRunTest, ScriptedEscapeQuitsAndKeyMessagesLeftOverAreCounted) {
    ProcessResult result = Veltra({"--size", "40x30", "--keys", "5:press:Escape"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Out, "4 frames in")) << result.Out;
    EXPECT_FALSE(Has(result.Err, "not delivered")) << result.Err;

    // Four messages on frame 1 and one on frame 9 of a two-frame run.
    result = Veltra({"--size", "40x30", "--frames", "2", "--keys", "1:press:T,1:press:Up,9:down:Up"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "3 key-script messages not delivered: 2 still waiting")) << result.Err;
    EXPECT_TRUE(Has(result.Err, "1 due after its last frame")) << result.Err;
}

TEST_F(HostRunTest, ADisplayWithNoServerFallsBackToHeadless) {
    ProcessResult result = Veltra({"--size", "40x30"}, Display::Unreachable);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "; rendering headless instead\n")) << result.Err;
    EXPECT_TRUE(Has(result.Out, "300 frames in")) << result.Out;
}

TEST_F(HostRunTest, WithoutGridBmpAnywhereTheTerrainIsDrawnUntextured) {
    // A copy of the program without the assets folder beside it, run where there is no grid.bmp.
    std::filesystem::create_directories(Folder / "bare");
    std::filesystem::copy_file(VELTRA_EXECUTABLE, Folder / "bare" / "veltra");
    const ProcessResult result = Veltra({"--frames", "3", "--size", "40x30", "--module", VELTRA_MODULE_PATH},
                                        Display::None, (Folder / "bare" / "veltra").string());
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "grid.bmp not found in the working directory and")) << result.Err;
    EXPECT_TRUE(Has(ReadText("veltra.log"), "Host: grid.bmp not found"));
}

// The one run in a real window: the script sizes and places it, the frames are paced, and a
// scripted Escape closes it as the key does.
TEST_F(HostRunTest, WindowedRunFollowsTheScriptAndEndsOnEscape) {
    WriteText("HeightmapGeneration.lua", "window:ResizeWindow(200, 100) window:PlaceWindow(30, 40)\n");
    ProcessResult result = Veltra({"--keys", "10:press:Escape", "--screenshot", "window.png"}, Display::Xvfb);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Out, "9 frames in")) << result.Out;
    const std::string log = ReadText("veltra.log");
    EXPECT_TRUE(Has(log, "Host: window (x11) 200x100")) << log;
    EXPECT_TRUE(Has(log, "at most 60 frames a second")) << log;
    std::optional<Image> frame = ReadPng("window.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Width, 200);
    EXPECT_EQ(frame->Height, 100);
}
