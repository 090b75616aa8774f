// The command line: the mistakes it turns into a message and exit code 2, and the odd names it takes.
// The defaults show in the runs of the program.

#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

namespace {

const std::string Tmp =
    std::filesystem::temp_directory_path().string() + "/veltra-cli-" + std::to_string(getpid());

// The options, exit code and messages from the arguments, with a log in the temporary folder unless
// they name one.
std::tuple<std::optional<HostOptions>, int, std::string> Parse(std::vector<std::string> args) {
    if (std::find(args.begin(), args.end(), "--log") == args.end())
        args.insert(args.end(), {"--log", Tmp + ".log"});
    args.insert(args.begin(), "veltra");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out, err;
    auto result = CommandLine::Parse(static_cast<int>(argv.size()), argv.data(), false, out, err);
    return {std::move(result.Options), result.ExitCode, err.str()};
}

} // namespace

TEST(CommandLineTest, MistakesGiveAMessageAndExitCodeTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--size", "640"}, "--size: expected WIDTHxHEIGHT"},
        {{"--size", "0x10"}, "between 1 and 8192"},
        {{"--size", "8193x10"}, "between 1 and"},
        {{"--size", "10x8193"}, "between 1 and"},
        {{"--size", "1x8192"}, ""},
        {{"--size", "8192x1"}, ""},
        {{"--frames", "0"}, "--frames: expected a whole number from 1 to 2147483647, not '0'"},
        {{"--frames", "1"}, ""},
        {{"--frames", "2", "--frames", "3"}, "--frames: given more than once"},
        {{"--every", "2"}, "--every: needs a numbered --screenshot"},
        {{"--every", "2", "--screenshot", Tmp + ".png"}, "--every: needs a numbered --screenshot"},
        {{"--every", "1", "--screenshot", Tmp + "-%d.png"}, ""},
        {{"--max-fps", "1001"}, "--max-fps: expected a whole number from 0 to 1000"},
        {{"--keys", "1:down:Nope"}, "--keys: key event '1:down:Nope': unknown key"},
        {{"--screenshot", ""}, "--screenshot: needs a name"},
        {{"--screenshot", Tmp + ".jpg"}, "must end in .png"},
        {{"--screenshot", Tmp + "-%s.png"}, "%d"},
        {{"--screenshot", Tmp + "-%10d.png"}, "%d"},
        {{"--screenshot", Tmp + "-%d-%d.png"}, "at most one frame number"},
        {{"--screenshot", "/nonexistent/veltra/frame.png"}, "does not exist"},
        {{"--screenshot", std::filesystem::temp_directory_path().string() + "/.png"}, ""},
        {{"--log", ""}, "--log: needs a name"},
        {{"--log", "/dev/null/v.log"}, "/dev/null is not a folder"},
        {{"--log", "/dev/full"}, "cannot write the log: /dev/full: No space left on device"},
        {{"--log", "/proc/x.log"}, "cannot write the log: /proc/x.log"},
        {{"--log", "/"}, "is a folder"},
        {{"--workdir", "/nonexistent/veltra"}, "--workdir: no folder"},
        {{"--no-such-option"}, "no-such-option"},
    };
    for (const auto& [args, message] : cases) {
        const auto [options, exitCode, err] = Parse(args); // an empty message: odd but valid
        EXPECT_EQ(std::tuple(options.has_value(), exitCode, err.find(message) != std::string::npos),
                  std::tuple(message.empty(), message.empty() ? 0 : 2, true))
            << args.back() << " -> " << err;
    }
    EXPECT_EQ(std::pair(std::get<1>(Parse({"--help"})), std::get<1>(Parse({"--version"}))), std::pair(0, 0));
    for (const char* tried : {".log", "-1.png"})
        EXPECT_FALSE(std::filesystem::exists(Tmp + tried)) << "files tried are not left behind";
}
