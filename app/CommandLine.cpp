#include "app/CommandLine.h"

#include "hostkit/EngineModule.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdlib>
#include <limits>
#include <unistd.h>

namespace {

constexpr int UsageError = 2;

std::optional<int> ParseSide(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A count of 1 or more; CLI11's own positive check names the whole double range in its refusal.
const CLI::Validator WholeCount(
    [](std::string& text) -> std::string {
        const std::optional<int> value = ParseSide(text);
        if (value && *value >= 1)
            return {};
        return "expected a whole number from 1 to " + std::to_string(std::numeric_limits<int>::max()) +
               ", not '" + text + "'";
    },
    "", "count");

// Empty when a file can be written at path, otherwise why not.
std::string CheckWritable(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path folder = path.parent_path();
    if (!std::filesystem::is_directory(folder, error))
        return std::filesystem::exists(folder, error) ? folder.string() + " is not a folder"
                                                      : "the folder " + folder.string() + " does not exist";
    if (std::filesystem::is_directory(path, error))
        return path.string() + " is a folder";
    if (std::filesystem::exists(path, error))
        return access(path.c_str(), W_OK) == 0 ? "" : path.string() + " is not writable";
    return access(folder.c_str(), W_OK) == 0 ? "" : "the folder " + folder.string() + " is not writable";
}

std::string Footer() {
    return "\nWindow keys: arrows fly (Up/Down move, Left/Right turn), T toggles the top view and the fly "
           "view,\n"
           "PageUp/PageDown change the shadow smoothing, keypad +/- the light's speed, Escape closes.\n\n" +
           KeyScript::SyntaxHelp() +
           "\n\nFiles: the engine reads HeightmapGeneration.lua from the working directory; grid.bmp is "
           "looked for\n"
           "there, then in the assets folder beside the executable. Log and screenshot paths are taken "
           "relative\n"
           "to the directory veltra was started in, before --workdir applies.";
}

} // namespace

bool CommandLine::DisplayPresent() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

std::optional<std::string> CommandLine::ParseSize(const std::string& text, int* width, int* height) {
    const std::size_t cross = text.find_first_of("xX");
    const std::optional<int> w = cross == std::string::npos ? std::nullopt : ParseSide(text.substr(0, cross));
    const std::optional<int> h =
        cross == std::string::npos ? std::nullopt : ParseSide(text.substr(cross + 1));
    if (!w || !h)
        return "expected WIDTHxHEIGHT such as 640x480, not '" + text + "'";
    if (*w < 1 || *h < 1 || *w > MaxSide || *h > MaxSide)
        return "each side must lie between 1 and " + std::to_string(MaxSide) + ", not '" + text + "'";
    *width = *w;
    *height = *h;
    return std::nullopt;
}

CommandLineResult CommandLine::Parse(int argc, const char* const* argv, bool displayPresent,
                                     std::ostream& out, std::ostream& err) {
    CLI::App cli{
        "veltra: generates a hilly terrain from HeightmapGeneration.lua, lights it with soft shadows from "
        "a circling light and flies a camera over it. It opens a window when there is a display and "
        "renders offscreen (to PNG files) otherwise.",
        "veltra"};
    bool headless = false;
    int frames = 0;
    std::string size = "640x480";
    std::string screenshot;
    int every = 1;
    std::string keys;
    std::string logPath = "veltra.log";
    std::string workDir;
    std::string modulePath = EngineModule::DefaultPath();

    cli.add_flag(
        "--headless", headless,
        "Render offscreen with EGL on Mesa (no display or GPU needed); the default when neither DISPLAY "
        "nor WAYLAND_DISPLAY is set");
    cli.add_option("--frames", frames,
                   "Stop after N frames (default: " + std::to_string(DefaultHeadlessFrames) +
                       " headless, until the window closes otherwise)")
        ->type_name("N")
        ->check(WholeCount);
    cli.add_option("--size", size, "Window client size, or frame size when headless")
        ->type_name("WxH")
        ->capture_default_str();
    cli.add_option(
           "--screenshot", screenshot,
           "Write frames as PNG: a name with %d or %04d (frame number) writes frame 1, every --every'th "
           "frame and the last one; a plain name writes the last frame")
        ->type_name("PATH");
    cli.add_option("--every", every, "With a numbered --screenshot, write every Nth frame")
        ->type_name("N")
        ->check(WholeCount)
        ->capture_default_str();
    cli.add_option("--keys", keys, "Key presses to play at given frames, e.g. \"1:up:T,2:down:Up,120:up:Up\"")
        ->type_name("SCRIPT");
    cli.add_option("--log", logPath, "Log file, started afresh")->type_name("FILE")->capture_default_str();
    cli.add_option("--workdir", workDir, "Run in this directory (where HeightmapGeneration.lua is read)")
        ->type_name("DIR")
        ->check(CLI::ExistingDirectory);
    cli.add_option("--module", modulePath, "The engine module to load")
        ->type_name("FILE")
        ->capture_default_str();
    cli.footer(Footer());

    CommandLineResult result;
    try {
        cli.parse(argc, argv);
        HostOptions options;
        options.Headless = headless || !displayPresent;
        options.Frames = frames > 0 ? frames : (options.Headless ? DefaultHeadlessFrames : 0);
        if (std::optional<std::string> problem = ParseSize(size, &options.Width, &options.Height))
            throw CLI::ValidationError("--size", *problem);
        options.Every = every;
        std::string problem;
        if (!keys.empty()) {
            std::optional<KeyScript> script = KeyScript::Parse(keys, &problem);
            if (!script)
                throw CLI::ValidationError("--keys", problem);
            options.Keys = std::move(*script);
        }
        options.LogPath = std::filesystem::absolute(logPath);
        if (std::string why = CheckWritable(options.LogPath); !why.empty())
            throw CLI::ValidationError("--log", "cannot write the log: " + why);
        if (!screenshot.empty()) {
            options.Screenshots =
                ScreenshotPattern::Parse(std::filesystem::absolute(screenshot).string(), &problem);
            if (!options.Screenshots)
                throw CLI::ValidationError("--screenshot", problem);
            if (std::string why = CheckWritable(options.Screenshots->PathFor(1)); !why.empty())
                throw CLI::ValidationError("--screenshot", "cannot write screenshots: " + why);
        }
        if (!workDir.empty())
            options.WorkDir = std::filesystem::absolute(workDir);
        options.ModulePath = std::filesystem::absolute(modulePath);
        result.Options = std::move(options);
    } catch (const CLI::ParseError& error) {
        const int code = cli.exit(error, out, err);
        result.ExitCode = code == 0 ? 0 : UsageError;
    }
    return result;
}
