// The command line: options, screenshot names and the checks that turn mistakes into messages.

#include "app/CommandLine.h"
#include "app/output/ScreenshotPattern.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

struct Parsed {
    CommandLineResult Result;
    std::string Out;
    std::string Err;
};

Parsed Parse(std::vector<std::string> args, bool display = false) {
    args.insert(args.begin(), "veltra");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    Parsed parsed{CommandLine::Parse(static_cast<int>(argv.size()), argv.data(), display, out, err), "", ""};
    parsed.Out = out.str();
    parsed.Err = err.str();
    return parsed;
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(Folder); }
    void TearDown() override { std::filesystem::remove_all(Folder); }
    std::string In(const std::string& name) const { return (Folder / name).string(); }
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("veltra-cli-" + std::to_string(std::random_device()()));
};

} // namespace

TEST_F(CommandLineTest, DefaultsDependOnWhetherThereIsADisplay) {
    Parsed windowed = Parse({"--log", In("v.log")}, true);
    ASSERT_TRUE(windowed.Result.Options) << windowed.Err;
    EXPECT_FALSE(windowed.Result.Options->Headless);
    EXPECT_EQ(windowed.Result.Options->Frames, 0); // until the window closes
    EXPECT_FALSE(windowed.Result.Options->Size);   // the script's size, or the default
    EXPECT_FALSE(windowed.Result.Options->MaxFramesPerSecond);

    Parsed noDisplay = Parse({"--log", In("v.log")}, false);
    ASSERT_TRUE(noDisplay.Result.Options);
    EXPECT_TRUE(noDisplay.Result.Options->Headless);
    EXPECT_EQ(noDisplay.Result.Options->Frames, CommandLine::DefaultHeadlessFrames);

    Parsed asked = Parse(
        {"--headless", "--frames", "12", "--size", "320X200", "--max-fps", "0", "--log", In("v.log")}, true);
    ASSERT_TRUE(asked.Result.Options);
    EXPECT_TRUE(asked.Result.Options->Headless);
    EXPECT_EQ(asked.Result.Options->Frames, 12);
    EXPECT_EQ(asked.Result.Options->Size, (FrameSize{320, 200}));
    EXPECT_EQ(asked.Result.Options->MaxFramesPerSecond, 0);
}

TEST_F(CommandLineTest, HelpAndVersionExitZero) {
    Parsed help = Parse({"--help"});
    EXPECT_FALSE(help.Result.Options);
    EXPECT_EQ(help.Result.ExitCode, 0);
    for (const char* text :
         {"--headless", "--frames", "--size", "--max-fps", "--screenshot", "--keys", "--log",
          "--workdir DIR ", "--version", "FRAMES:ACTION:KEY", "PageUp", "grid.bmp"})
        EXPECT_NE(help.Out.find(text), std::string::npos) << text;
    Parsed version = Parse({"--version"});
    EXPECT_EQ(version.Result.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("veltra ", 0), 0u) << version.Out;
}

TEST_F(CommandLineTest, MistakesGiveAMessageAndExitCodeTwo) {
    const std::string log = In("v.log");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--size", "640"}, "WIDTHxHEIGHT"},
        {{"--size", ""}, "WIDTHxHEIGHT"},
        {{"--size", "0x0"}, "between 1 and 8192"},
        {{"--size", "640x-1"}, "between 1 and"},
        {{"--size", "640x480x2"}, "WIDTHxHEIGHT"},
        {{"--size", "8193x10"}, "between 1 and"},
        {{"--frames", "0"}, "--frames: expected a whole number from 1 to 2147483647, not '0'"},
        {{"--frames", "many"}, "not 'many'"},
        {{"--frames", "2", "--frames", "3"}, "--frames: given more than once"},
        {{"--every", "2.5"}, "--every: expected a whole number"},
        {{"--every", "2"}, "--every: needs a numbered --screenshot"},
        {{"--every", "2", "--screenshot", In("last.png")}, "--every: needs a numbered --screenshot"},
        {{"--max-fps", "-1"}, "--max-fps: expected a whole number from 0 to 1000"},
        {{"--keys", "1:down:Nope"}, "unknown key"},
        {{"--screenshot", ""}, "--screenshot: needs a name"},
        {{"--screenshot", In("frame.jpg")}, "must end in .png"},
        {{"--screenshot", In("frame-%s.png")}, "%d"},
        {{"--screenshot", "/nonexistent/veltra/frame.png"}, "does not exist"},
        {{"--screenshot", "/proc/frame.png"}, "cannot write screenshots: /proc/frame.png"},
        {{"--screenshot", Folder.string() + "/.png"}, ""},
        {{"--log", ""}, "--log: needs a name"},
        {{"--log", "/nonexistent/veltra/v.log"}, "cannot write the log"},
        {{"--log", "/dev/null/v.log"}, "/dev/null is not a folder"},
        {{"--log", "/dev/full"}, "cannot write the log: /dev/full: No space left on device"},
        {{"--log", "/proc/x.log"}, "cannot write the log: /proc/x.log"},
        {{"--log", Folder.string()}, "is a folder"},
        {{"--workdir", ""}, "--workdir: needs a name"},
        {{"--workdir", "/nonexistent/veltra"}, "--workdir: no folder"},
        {{"--module", ""}, "--module: needs a name"},
        {{"--no-such-option"}, "no-such-option"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> full = args;
        if (args[0] != "--log") {
            full.push_back("--log");
            full.push_back(log);
        }
        Parsed parsed = Parse(full);
        std::string joined;
        for (const std::string& arg : args)
            joined += arg + " ";
        if (message.empty()) {
            // Odd but valid.
            EXPECT_TRUE(parsed.Result.Options) << joined << parsed.Err;
            continue;
        }
        EXPECT_FALSE(parsed.Result.Options) << joined;
        EXPECT_EQ(parsed.Result.ExitCode, 2) << joined;
        EXPECT_NE(parsed.Err.find(message), std::string::npos) << joined << "-> " << parsed.Err;
    }
}

TEST(ScreenshotPatternTest, NumberFieldsPercentSignsAndRefusals) {
    std::string error;
    std::optional<ScreenshotPattern> padded = ScreenshotPattern::Parse("out/frame-%04d.png", &error);
    ASSERT_TRUE(padded) << error;
    EXPECT_TRUE(padded->Numbered());
    EXPECT_EQ(padded->PathFor(7), "out/frame-0007.png");
    EXPECT_EQ(padded->PathFor(123456), "out/frame-123456.png");

    std::optional<ScreenshotPattern> plain = ScreenshotPattern::Parse("100%%-%d.PNG", &error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(plain->PathFor(5), "100%-5.PNG");

    // Nothing that printf would read as another conversion gets through.
    for (const char* bad : {"%s.png", "%n.png", "%x.png", "%.png", "%10d.png", "%d%d.png", "%", "frame.png%"})
        EXPECT_FALSE(ScreenshotPattern::Parse(bad, &error)) << bad;
}
