// Whole runs of the built veltra program: its frames, files, messages and exit codes, offscreen
// and in a window under Xvfb.

#include "RunFixture.h"

#include <cmath>

namespace {

// Measures of a picture's columns x0 to x1 - 1 and rows y0 to y1 - 1.
struct Measures {
    double Clear = 0;  // share in the colour the engine clears each frame with
    double Spread = 0; // standard deviation of the grey level: lit hills are not one flat grey
    double Detail = 0; // mean grey step to the right-hand neighbour: the grid texture's lines give 6
    Measures(const Image& image, int x0, int y0, int x1, int y1) {
        double sum = 0, squares = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* p = image.Pixel(x, y);
                const double grey = (p[0] + p[1] + p[2]) / 3.0;
                Clear +=
                    std::abs(p[0] - 0xCC) <= 2 && std::abs(p[1] - 0xDD) <= 2 && std::abs(p[2] - 0xEE) <= 2;
                sum += grey;
                squares += grey * grey;
                Detail += x + 1 < x1 ? std::abs((p[4] + p[5] + p[6]) / 3.0 - grey) : 0;
            }
        const double count = (x1 - x0) * (y1 - y0);
        Clear /= count;
        Detail /= count;
        Spread = std::sqrt(squares / count - sum * sum / count / count);
    }
};

class HostRunTest : public RunFixture {};

} // namespace

// The script from --workdir, --size over the script's size, numbered frames (the first, every
// third, the last), key messages left over, and a first frame looking down on lit textured hills.
TEST_F(HostRunTest, OffscreenRunWritesTheChosenFramesOfLitTexturedTerrain) {
    std::filesystem::create_directories(Folder / "scene");
    Write("scene/HeightmapGeneration.lua", "print('script ran here') window:ResizeWindow(50, 60)\n");
    // Four messages on frame 6, of which one reaches the engine a frame; one due after the run.
    const RunResult run = Veltra({"--frames", "7", "--every", "3", "--size", "320x240", "--workdir", "scene",
                                  "--screenshot", "f-%02d.png", "--keys", "6:press:T,6:press:Up,9:down:Up"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_THAT(run.Out, HasSubstr("script ran here\n"));
    EXPECT_THAT(run.Out, HasSubstr("veltra: 7 frames in"));
    // Paths are relative to where veltra started, not to --workdir.
    EXPECT_THAT(run.Out, HasSubstr("4 PNG files: " + Folder.string() + "/f-01.png to " + Folder.string() +
                                   "/f-07.png\n"));
    EXPECT_THAT(run.Err, HasSubstr("3 key-script messages not delivered: 2 still waiting"));
    EXPECT_THAT(run.Err, HasSubstr(", 1 due after its last frame\n"));
    EXPECT_THAT(run.Err, ::testing::Not(HasSubstr("grid.bmp")));
    const std::string log = Text("veltra.log");
    for (const char* line :
         {"Host: the script's window size 50x60 gives way to --size 320x240", "Host: headless 320x240",
          "Initialising VeltraEngine...", "Host: unpaced", "Releasing VeltraEngine...", "Host: 7 frames in"})
        EXPECT_THAT(log, HasSubstr(line));
    for (int frame = 1; frame <= 7; ++frame) {
        const std::optional<Image> png = Png("f-0" + std::to_string(frame) + ".png");
        ASSERT_EQ(png.has_value(), frame == 1 || frame == 3 || frame == 6 || frame == 7) << frame;
        EXPECT_EQ(std::pair(png ? png->Width : 320, png ? png->Height : 240), std::pair(320, 240));
    }
    const Measures middle(*Png("f-01.png"), 80, 60, 240, 180);
    EXPECT_EQ(middle.Clear, 0.0);
    EXPECT_GT(middle.Spread, 10.0);
    EXPECT_GT(middle.Detail, 2.0);
}

// A display with no server behind it: headless instead, in the script's size brought into range,
// until a scripted Escape.
TEST_F(HostRunTest, WithoutADisplayServerTheRunGoesHeadlessAndEndsOnEscape) {
    Write("HeightmapGeneration.lua", "window:ResizeWindow(0, 100000)\n");
    const RunResult run = Veltra({"--keys", "3:press:Escape", "--screenshot", "b-%d.png"}, "DISPLAY=:6093");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_THAT(run.Err, HasSubstr("; rendering headless instead\n"));
    EXPECT_THAT(run.Err, HasSubstr("window size 0x100000 is outside 1x1 to 8192x8192; using 1x8192\n"));
    EXPECT_THAT(Text("veltra.log"), HasSubstr("Host: the script's window size 0x100000 is outside"));
    EXPECT_THAT(run.Out, HasSubstr("veltra: 2 frames in"));
    EXPECT_THAT(run.Out, HasSubstr("2 PNG files: " + Folder.string() + "/b-1.png to " + Folder.string() +
                                   "/b-2.png\n"));
    const std::optional<Image> first = Png("b-1.png");
    EXPECT_EQ(std::pair(first ? first->Width : 0, first ? first->Height : 0), std::pair(1, 8192));
}

// A copy of the program with no assets beside it, where there is no grid.bmp, in a window the
// script sizes: flat terrain, plain and evenly lit, that from 700 above fills the middle 124 columns.
TEST_F(HostRunTest, WindowedRunFollowsTheScriptAndEndsOnEscape) {
    std::filesystem::copy_file(VELTRA_EXECUTABLE, Folder / "veltra");
    Write("HeightmapGeneration.lua", "heightmap_generator.NbHills = 0\n"
                                     "window:ResizeWindow(200, 100) window:PlaceWindow(30, 40)\n");
    const RunResult run =
        Veltra({"--keys", "10:press:Escape", "--screenshot", "x-%%.png", "--module", VELTRA_MODULE_PATH},
               "xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp'", (Folder / "veltra").string());
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_THAT(run.Err, HasSubstr("grid.bmp not found in the working directory and"));
    EXPECT_THAT(run.Err, ::testing::Not(HasSubstr("outside")));
    EXPECT_THAT(run.Out, HasSubstr("veltra: 9 frames in"));
    EXPECT_THAT(run.Out, HasSubstr("veltra: 1 PNG file: " + Folder.string() + "/x-%.png\n"));
    const std::string log = Text("veltra.log");
    for (const char* line :
         {"Host: grid.bmp not found", "Host: window (x11) 200x100", "at most 60 frames a second"})
        EXPECT_THAT(log, HasSubstr(line));
    const std::optional<Image> frame = Png("x-%.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::pair(frame->Width, frame->Height), std::pair(200, 100));
    for (int x : {0, 30, 169, 199})
        EXPECT_GT(Measures(*frame, x, 0, x + 1, 100).Clear, 0.99) << x;
    EXPECT_EQ(Measures(*frame, 44, 0, 156, 100).Clear, 0.0);
    EXPECT_LT(Measures(*frame, 44, 0, 156, 100).Detail, 0.5);
}

TEST_F(HostRunTest, RefusedRunsSayWhyAndWriteNothing) {
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"--module", Folder.string() + "/libnothing.so"},
         1,
         "cannot load the engine module " + Folder.string()},
        {{"--module", VELTRA_PLATFORM_LIBRARY}, 1, "does not export CreateDllInterface"},
        {{"--log", "/dev/full", "--screenshot", "never.png"}, 2, "--log: cannot write the log"},
    };
    for (const auto& [args, exitCode, message] : cases) {
        const RunResult run = Veltra(args);
        EXPECT_EQ(run.ExitCode, exitCode) << args[1];
        EXPECT_THAT(run.Err, HasSubstr(message));
    }
    EXPECT_FALSE(std::filesystem::exists(Folder / "never.png"));
}
