// Whole runs of the built veltra program: its frames, files, messages and exit codes, offscreen
// and in a window under Xvfb.

#include "app/image/PngFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <random>
#include <sstream>

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The share of a region's pixels in the colour the engine clears each frame with, and the mean grey
// step between horizontal neighbours there (the grid texture's lines give about 6).
std::pair<double, double> Measure(const Image& image, int x0, int y0, int x1, int y1) {
    double clear = 0, detail = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = image.Pixel(x, y);
            clear += std::abs(p[0] - 0xCC) <= 2 && std::abs(p[1] - 0xDD) <= 2 && std::abs(p[2] - 0xEE) <= 2;
            detail += x + 1 < x1 ? std::abs(p[4] + p[5] + p[6] - p[0] - p[1] - p[2]) / 3.0 : 0;
        }
    const double count = (x1 - x0) * (y1 - y0);
    return {clear / count, detail / count};
}

// A scratch folder to run the built veltra program in, and to read what it wrote.
class HostRunTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(Folder); }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    // The program in the scratch folder without a display; `before` comes between the emptied
    // environment and the program: variables to set, or a wrapper such as xvfb-run.
    // Its exit code (137 when killed after four minutes), standard output and standard error.
    std::tuple<int, std::string, std::string> Veltra(const std::vector<std::string>& args,
                                                     const std::string& before = "",
                                                     const std::string& program = VELTRA_EXECUTABLE) const {
        std::string command = "cd " + Folder.string() + " && env -u DISPLAY -u WAYLAND_DISPLAY " + before +
                              " timeout -s KILL 240 " + program;
        for (const std::string& arg : args)
            command += " '" + arg + "'"; // no argument here holds a quote
        const int status = std::system((command + " >.stdout 2>.stderr").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Text(".stdout"), Text(".stderr")};
    }
    std::string Text(const std::string& name) const {
        return (std::stringstream() << std::ifstream(Folder / name).rdbuf()).str();
    }
    std::optional<Image> Png(const std::string& name) const { return png::Read(Folder / name); }

    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("veltra-run-" + std::to_string(std::random_device()()));
};

} // namespace

// The script from --workdir, --size over the script's size, numbered frames (the first, every
// third, the last), key messages left over, and a first frame looking down on textured terrain.
TEST_F(HostRunTest, OffscreenRunWritesTheChosenFramesOfTexturedTerrain) {
    std::filesystem::create_directories(Folder / "scene");
    std::ofstream(Folder / "scene/HeightmapGeneration.lua")
        << "print('script ran here') window:ResizeWindow(50, 60)\n";
    std::ofstream(Folder / "veltra.log") << "an earlier run's log\n";
    // Four messages on frame 6, of which one reaches the engine a frame; one due after the run.
    const auto [exitCode, out, err] =
        Veltra({"--frames", "7", "--every", "3", "--size", "320x240", "--workdir", "scene", "--screenshot",
                "f-%02d.png", "--keys", "6:press:T,6:press:Up,9:down:Up"});
    ASSERT_EQ(exitCode, 0) << err;
    // Paths are relative to where veltra started, not to --workdir.
    EXPECT_THAT(out, AllOf(HasSubstr("script ran here\n"), HasSubstr("veltra: 7 frames in"),
                           HasSubstr("4 PNG files: " + Folder.string() + "/f-01.png to " + Folder.string() +
                                     "/f-07.png\n")));
    EXPECT_THAT(err, AllOf(HasSubstr("3 key-script messages not delivered: 2 still waiting"),
                           HasSubstr(", 1 due after its last frame\n"), Not(HasSubstr("headless")),
                           Not(HasSubstr("grid.bmp"))));
    for (const char* line : {"Host: the script's window size 50x60 gives way to --size 320x240",
                             "headless 320x240, llvmpipe", "Initialising VeltraEngine...", "Host: unpaced",
                             "Releasing VeltraEngine...", "-> Close VM", "Host: 7 frames in"})
        EXPECT_THAT(Text("veltra.log"), AllOf(HasSubstr(line), Not(HasSubstr("earlier run"))));
    std::string written; // frame: size
    for (int frame = 1; frame <= 7; ++frame)
        if (const std::optional<Image> png = Png("f-0" + std::to_string(frame) + ".png"))
            written += std::to_string(frame) + ":" + std::to_string(png->Width) + "x" +
                       std::to_string(png->Height) + " ";
    ASSERT_EQ(written, "1:320x240 3:320x240 6:320x240 7:320x240 ");
    EXPECT_NE(Png("f-01.png")->Rgba, Png("f-03.png")->Rgba) << "the light moves";
    const auto [clear, detail] = Measure(*Png("f-01.png"), 80, 60, 240, 180);
    EXPECT_TRUE(clear == 0.0 && detail > 2.0) << clear << " " << detail;
}

// A copy of the program with no assets beside it, where there is no grid.bmp, in a window the
// script sizes: flat terrain, plain and evenly lit, that from 700 above fills the middle 124 columns.
TEST_F(HostRunTest, WindowedRunFollowsTheScriptAndEndsOnEscape) {
    std::filesystem::copy_file(VELTRA_EXECUTABLE, Folder / "veltra");
    std::ofstream(Folder / "HeightmapGeneration.lua")
        << "heightmap_generator.NbHills = 0 window:ResizeWindow(200, 100) window:PlaceWindow(30, 40)\n";
    const auto [exitCode, out, err] =
        Veltra({"--keys", "30:press:Escape", "--screenshot", "x-%%.png", "--module", VELTRA_MODULE_PATH},
               "xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp'", (Folder / "veltra").string());
    ASSERT_EQ(exitCode, 0) << err;
    EXPECT_THAT(
        err, AllOf(HasSubstr("grid.bmp not found in the working directory and"), Not(HasSubstr("outside"))));
    EXPECT_THAT(out, AllOf(HasSubstr("veltra: 29 frames in"),
                           HasSubstr("veltra: 1 PNG file: " + Folder.string() + "/x-%.png\n")));
    const std::size_t rate = out.find(" frames per second"); // paced, though the writing is not counted
    EXPECT_LE(std::stod(out.substr(out.rfind(' ', rate - 1) + 1)), 75.0) << out;
    for (const char* line : {"Host: grid.bmp not found", "Host: window (x11) 200x100, llvmpipe",
                             "Host: at most 60 frames a second"})
        EXPECT_THAT(Text("veltra.log"), HasSubstr(line));
    const std::optional<Image> frame = Png("x-%.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::pair(frame->Width, frame->Height), std::pair(200, 100));
    for (int x : {0, 30, 169, 199})
        EXPECT_GT(Measure(*frame, x, 0, x + 1, 100).first, 0.99) << x;
    const auto [clear, detail] = Measure(*frame, 44, 0, 156, 100);
    EXPECT_TRUE(clear == 0.0 && detail < 0.5) << clear << " " << detail;
    // A window larger than the screen is fitted to it.
    std::ofstream(Folder / "HeightmapGeneration.lua") << "window:ResizeWindow(3000, 100)\n";
    Veltra({"--frames", "2"}, "xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp'");
    EXPECT_THAT(Text("veltra.log"), AllOf(HasSubstr("screen's usable area 1024x768; using 1024x100"),
                                          HasSubstr("window (x11) 1024x100")));
}

// One frame, where the script asks for no size at all; a run the user ends before its first frame, where the
// script asks for too wide a window; no module.
TEST_F(HostRunTest, ShortRunsAndRefusedRunsSayWhatHappened) {
    std::ofstream(Folder / "HeightmapGeneration.lua") << "window:ResizeWindow(0, 300)\n";
    EXPECT_THAT(Veltra({"--frames", "1"}),
                testing::FieldsAre(0,
                                   AllOf(HasSubstr("veltra: 1 frame in"), Not(HasSubstr(" 0.0 frames")),
                                         HasSubstr("second\n")),
                                   HasSubstr("size 0x300 is not a positive size; using 640x480\n")));
    EXPECT_THAT(Text("veltra.log"), HasSubstr("Host: headless 640x480"));
    std::ofstream(Folder / "HeightmapGeneration.lua") << "window:ResizeWindow(20000, 3)\n";
    EXPECT_THAT(Veltra({"--keys", "1:down:Escape", "--screenshot", "s.png"}),
                testing::FieldsAre(0, HasSubstr("veltra: 0 frames in"),
                                   AllOf(HasSubstr("size 20000x3 is outside 1x1 to 8192x8192; using 8192x3"),
                                         HasSubstr("no frame was drawn, no screenshot written"))));
    const std::string noModule = "cannot load the engine module " + Folder.string() + "/libnothing.so";
    EXPECT_THAT(Veltra({"--module", "libnothing.so"}), testing::FieldsAre(1, "", HasSubstr(noModule)));
}

// SIGTERM once frame 1 is written (not empty: the start-up's writability check makes it empty for a
// moment), through `timeout`, which passes it on twice (to veltra and to its group): the frame then
// drawn is the last, written as a last frame is, and the run ends as a closed window ends one, but
// says by its exit code that it was cut short (143, as a shell says it). Then Ctrl-C while the
// configuration script runs, before the first frame: that frame is the last, and the code is 130.
TEST_F(HostRunTest, OffscreenRunStopsCleanlyOnSigtermAndCtrlC) {
    const std::string signalAfterFrameOne =
        "sh -c '\"$@\" & p=$!; for i in $(seq 1200); do test -s f-0000001.png "
        "&& break; sleep 0.1; done; kill -TERM $p; wait $p' sh";
    const auto [exitCode, out, err] =
        Veltra({"--frames", "1000000", "--size", "64x48", "--screenshot", "f-%07d.png", "--every", "1000000"},
               signalAfterFrameOne);
    ASSERT_EQ(exitCode, 143) << err;
    int frames = 0;
    ASSERT_EQ(std::sscanf(out.c_str(), "veltra: %d frames in", &frames), 1) << out << err;
    const std::string last = std::string(7 - std::to_string(frames).size(), '0') + std::to_string(frames);
    EXPECT_THAT(err, HasSubstr("stopped by SIGTERM: frame " + std::to_string(frames) + " is the last"));
    EXPECT_THAT(out, HasSubstr("2 PNG files: " + Folder.string() + "/f-0000001.png to " + Folder.string() +
                               "/f-" + last + ".png"));
    for (const char* line :
         {"Releasing VeltraEngine...", "Host: stopped by SIGTERM", "frames per second\n", "=== Log End ==="})
        EXPECT_THAT(Text("veltra.log"), HasSubstr(line));

    // Job control, so that the job in the background takes Ctrl-C as one in the foreground does.
    std::ofstream(Folder / "HeightmapGeneration.lua") << "for i = 1, 9e7 do end\n";
    const std::string interruptDuringScript = "sh -c 'set -m; rm -f veltra.log; \"$@\" & p=$!; for i in "
                                              "$(seq 1200); do grep -q Binding veltra.log 2>/dev/null "
                                              "&& break; sleep 0.05; done; kill -INT $p; wait $p' sh";
    EXPECT_THAT(Veltra({"--frames", "1000000", "--size", "64x48"}, interruptDuringScript),
                testing::FieldsAre(130, HasSubstr("veltra: 1 frame in"),
                                   HasSubstr("stopped by SIGINT: frame 1 is the last")));
}
