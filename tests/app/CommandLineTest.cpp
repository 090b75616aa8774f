// The command line: its defaults, and the mistakes it turns into a message and exit code 2.

#include "app/CommandLine.h"
#include "app/output/ScreenshotPattern.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

namespace {

const std::string Tmp =
    std::filesystem::temp_directory_path().string() + "/veltra-cli-" + std::to_string(getpid());

struct Parsed {
    std::optional<HostOptions> Options;
    int ExitCode;
    std::string Out, Err;
};

// The arguments, with a log in the temporary folder unless they name one.
Parsed Parse(std::vector<std::string> args, bool display = false) {
    if (std::find(args.begin(), args.end(), "--log") == args.end())
        args.insert(args.end(), {"--log", Tmp + ".log"});
    args.insert(args.begin(), "veltra");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    CommandLineResult result =
        CommandLine::Parse(static_cast<int>(argv.size()), argv.data(), display, out, err);
    return {std::move(result.Options), result.ExitCode, out.str(), err.str()};
}

} // namespace

TEST(CommandLineTest, DefaultsDependOnWhetherThereIsADisplay) {
    for (bool display : {true, false}) {
        const HostOptions options = Parse({}, display).Options.value();
        EXPECT_EQ(std::tuple(options.Headless, options.Frames, options.Size, options.MaxFramesPerSecond),
                  std::tuple(!display, display ? 0 : 300, std::nullopt, std::nullopt));
    }
    const HostOptions asked =
        Parse({"--headless", "--frames", "12", "--size", "320X200", "--max-fps", "0"}, true).Options.value();
    EXPECT_EQ(std::tuple(asked.Headless, asked.Frames, asked.Size, asked.MaxFramesPerSecond),
              std::tuple(true, 12, FrameSize{320, 200}, 0));
    for (const char* option : {"--help", "--version"})
        EXPECT_EQ(Parse({option}).ExitCode, 0) << option;
}

TEST(CommandLineTest, MistakesGiveAMessageAndExitCodeTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--size", "640"}, "--size: expected WIDTHxHEIGHT"},
        {{"--size", "640x480x2"}, "WIDTHxHEIGHT"},
        {{"--size", "0x10"}, "between 1 and 8192"},
        {{"--size", "640x-1"}, "between 1 and"},
        {{"--size", "8193x10"}, "between 1 and"},
        {{"--size", "10x8193"}, "between 1 and"},
        {{"--frames", "0"}, "--frames: expected a whole number from 1 to 2147483647, not '0'"},
        {{"--frames", "2", "--frames", "3"}, "--frames: given more than once"},
        {{"--every", "2"}, "--every: needs a numbered --screenshot"},
        {{"--every", "2", "--screenshot", Tmp + ".png"}, "--every: needs a numbered --screenshot"},
        {{"--every", "2", "--screenshot", Tmp + "-%d.png"}, ""},
        {{"--max-fps", "1001"}, "--max-fps: expected a whole number from 0 to 1000"},
        {{"--keys", "1:down:Nope"}, "--keys: key event '1:down:Nope': unknown key"},
        {{"--screenshot", ""}, "--screenshot: needs a name"},
        {{"--screenshot", Tmp + ".jpg"}, "must end in .png"},
        {{"--screenshot", Tmp + "-%s.png"}, "%d"},
        {{"--screenshot", "/nonexistent/veltra/frame.png"}, "does not exist"},
        {{"--screenshot", "/proc/frame.png"}, "cannot write screenshots: /proc/frame.png"},
        {{"--screenshot", std::filesystem::temp_directory_path().string() + "/.png"}, ""},
        {{"--log", ""}, "--log: needs a name"},
        {{"--log", "/nonexistent/veltra/v.log"}, "cannot write the log"},
        {{"--log", "/dev/null/v.log"}, "/dev/null is not a folder"},
        {{"--log", "/dev/full"}, "cannot write the log: /dev/full: No space left on device"},
        {{"--log", "/proc/x.log"}, "cannot write the log: /proc/x.log"},
        {{"--log", "/"}, "is a folder"},
        {{"--workdir", "/nonexistent/veltra"}, "--workdir: no folder"},
        {{"--module", ""}, "--module: needs a name"},
        {{"--no-such-option"}, "no-such-option"},
    };
    for (const auto& [args, message] : cases) {
        const Parsed parsed = Parse(args); // an empty message: odd but valid
        EXPECT_EQ(std::pair(parsed.Options.has_value(), parsed.ExitCode),
                  std::pair(message.empty(), message.empty() ? 0 : 2))
            << args[0] << " " << args.back();
        EXPECT_NE(parsed.Err.find(message), std::string::npos) << args.back() << " -> " << parsed.Err;
    }
    for (const char* tried : {".log", "-1.png"})
        EXPECT_FALSE(std::filesystem::exists(Tmp + tried)) << "files tried are not left behind";
}

TEST(ScreenshotPatternTest, NumberFieldsPercentSignsAndRefusals) {
    const std::optional<ScreenshotPattern> padded = ScreenshotPattern::Parse("100%%-%3d-%%.png", nullptr);
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->PathFor(7) + " " + padded->PathFor(123456), "100%-  7-%.png 100%-123456-%.png");
    // Nothing that printf would read as another conversion gets through.
    for (const char* bad : {"%s.png", "%n.png", "%.png", "%10d.png", "%d%d.png", "%", "frame.png%"})
        EXPECT_FALSE(ScreenshotPattern::Parse(bad, nullptr)) << bad;
}
