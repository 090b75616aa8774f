#include "app/CommandLine.h"

#include "hostkit/EngineModule.h"
#include "platform/FileProbe.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int UsageError = 2;

// A whole number from low to high; CLI11's own checks name the whole double range in a refusal.
CLI::Validator WholeNumber(int low, int high) {
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            int value = 0;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (!text.empty() && error == std::errc() && end == text.data() + text.size() && value >= low &&
                value <= high)
                return {};
            return "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                   ", not '" + text + "'";
        },
        "", "whole number");
}

// Empty when the run can write a file at path, found out by opening it as the run will and
// writing nothing to it (a full device refuses even that); otherwise why not. The file is neither
// emptied nor, when it is new, left behind: the run may yet stop before it starts.
std::string CheckWritable(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path folder = path.parent_path();
    if (!std::filesystem::is_directory(folder, error))
        return std::filesystem::exists(folder, error) ? folder.string() + " is not a folder"
                                                      : "the folder " + folder.string() + " does not exist";
    if (std::filesystem::is_directory(path, error))
        return path.string() + " is a folder";
    const bool existed = std::filesystem::exists(std::filesystem::symlink_status(path, error));
    // Non-blocking: a pipe that no one reads refuses at once instead of hanging the run.
    const int failure = veltra::platform::ProbeWritable(path.string());
    if (!existed)
        std::filesystem::remove(path, error);
    return failure == 0 ? "" : path.string() + ": " + std::strerror(failure);
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

// The values as CLI11 fills them in, before they are checked together.
struct RawOptions {
    bool Headless = false;
    int Frames = 0;
    std::string Size;
    int MaxFps = 0;
    std::string Screenshot;
    int Every = 1;
    std::string Keys;
    std::string LogPath = "veltra.log";
    std::string WorkDir;
    std::string ModulePath = EngineModule::DefaultPath();
};

void AddOptions(CLI::App& cli, RawOptions& raw) {
    cli.set_version_flag("--version", "veltra " VELTRA_VERSION, "Print the version and exit");
    // An option given twice is refused in Check with a plain message.
    cli.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    cli.add_flag(
        "--headless", raw.Headless,
        "Render offscreen with EGL on Mesa (no display or GPU needed); the default when neither DISPLAY "
        "nor WAYLAND_DISPLAY is set, or when no window can be opened there");
    cli.add_option("--frames", raw.Frames,
                   "Stop after N frames (default: " + std::to_string(CommandLine::DefaultHeadlessFrames) +
                       " headless, until the window closes otherwise)")
        ->type_name("N")
        ->check(WholeNumber(1, std::numeric_limits<int>::max()));
    cli.add_option("--size", raw.Size,
                   "Window client size, or frame size when headless (default: the size the script asks "
                   "for with ResizeWindow, else 640x480)")
        ->type_name("WxH");
    cli.add_option("--max-fps", raw.MaxFps,
                   "Frames a second at most (default: " + std::to_string(HostOptions::WindowFramesPerSecond) +
                       " in a window, besides waiting for the display; unpaced headless); 0 is unpaced")
        ->type_name("N")
        ->check(WholeNumber(0, CommandLine::MaxFramesPerSecond));
    cli.add_option(
           "--screenshot", raw.Screenshot,
           "Write frames as PNG: a name with %d or %04d (frame number) writes frame 1, every --every'th "
           "frame and the last one; a plain name writes the last frame; %% stands for %")
        ->type_name("PATH");
    cli.add_option("--every", raw.Every, "With a numbered --screenshot, write every Nth frame (default 1)")
        ->type_name("N")
        ->check(WholeNumber(1, std::numeric_limits<int>::max()));
    cli.add_option("--keys", raw.Keys,
                   "Key presses to play at given frames, e.g. \"1:up:T,2:down:Up,120:up:Up\"")
        ->type_name("SCRIPT");
    cli.add_option("--log", raw.LogPath, "Log file, started afresh")
        ->type_name("FILE")
        ->capture_default_str();
    cli.add_option("--workdir", raw.WorkDir, "Run in this folder (where HeightmapGeneration.lua is read)")
        ->type_name("DIR");
    cli.add_option("--module", raw.ModulePath, "The engine module to load")
        ->type_name("FILE")
        ->capture_default_str();
    cli.footer(Footer());
}

void Refuse(const std::string& option, const std::string& why) {
    throw CLI::ValidationError(option, why);
}

// The options checked together, paths made absolute; throws CLI::ValidationError for a mistake.
HostOptions Check(const CLI::App& cli, const RawOptions& raw, bool displayPresent) {
    for (const CLI::Option* option : cli.get_options())
        if (option->count() > 1 && option->get_type_size() > 0)
            Refuse(option->get_name(), "given more than once; give it once");
    auto given = [&cli](const char* name) { return cli.get_option(name)->count() > 0; };
    for (const auto& [name, text] : {std::pair{"--log", raw.LogPath},
                                     {"--screenshot", raw.Screenshot},
                                     {"--workdir", raw.WorkDir},
                                     {"--module", raw.ModulePath}})
        if (given(name) && text.empty())
            Refuse(name, "needs a name, not an empty one");

    HostOptions options;
    options.Headless = raw.Headless || !displayPresent;
    options.Frames =
        raw.Frames > 0 ? raw.Frames : (options.Headless ? CommandLine::DefaultHeadlessFrames : 0);
    std::string problem;
    if (given("--size")) {
        options.Size = FrameSize::Parse(raw.Size, &problem);
        if (!options.Size)
            Refuse("--size", problem);
    }
    if (given("--max-fps"))
        options.MaxFramesPerSecond = raw.MaxFps;
    if (!raw.Keys.empty()) {
        std::optional<KeyScript> script = KeyScript::Parse(raw.Keys, &problem);
        if (!script)
            Refuse("--keys", problem);
        options.Keys = std::move(*script);
    }
    if (!raw.Screenshot.empty()) {
        options.Screenshots =
            ScreenshotPattern::Parse(std::filesystem::absolute(raw.Screenshot).string(), &problem);
        if (!options.Screenshots)
            Refuse("--screenshot", problem);
    }
    if (given("--every") && !(options.Screenshots && options.Screenshots->Numbered()))
        Refuse("--every", "needs a numbered --screenshot name such as frame-%04d.png");
    options.Every = raw.Every;
    if (!raw.WorkDir.empty()) {
        options.WorkDir = std::filesystem::absolute(raw.WorkDir);
        std::error_code error;
        if (!std::filesystem::is_directory(options.WorkDir, error))
            Refuse("--workdir", "no folder " + options.WorkDir.string());
    }
    options.ModulePath = std::filesystem::absolute(raw.ModulePath);
    // Last, as these try the files themselves.
    if (options.Screenshots)
        if (std::string why = CheckWritable(options.Screenshots->PathFor(1)); !why.empty())
            Refuse("--screenshot", "cannot write screenshots: " + why);
    options.LogPath = std::filesystem::absolute(raw.LogPath);
    if (std::string why = CheckWritable(options.LogPath); !why.empty())
        Refuse("--log", "cannot write the log: " + why);
    return options;
}

} // namespace

CommandLineResult CommandLine::Parse(int argc, const char* const* argv, bool displayPresent,
                                     std::ostream& out, std::ostream& err) {
    CLI::App cli{
        "veltra: makes a terrain as HeightmapGeneration.lua says (random hills, or an elevation file "
        "through heightmap_file.Path), lights it with soft shadows from a circling light and flies a "
        "camera over it. It opens a window when there is a display and renders offscreen (to PNG files) "
        "otherwise.",
        "veltra"};
    RawOptions raw;
    AddOptions(cli, raw);

    CommandLineResult result;
    try {
        cli.parse(argc, argv);
        result.Options = Check(cli, raw, displayPresent);
    } catch (const CLI::ParseError& error) {
        const int code = cli.exit(error, out, err);
        result.ExitCode = code == 0 ? 0 : UsageError;
    } catch (const std::exception& error) {
        // A path the system cannot work with, say: still a mistake in the arguments.
        err << "veltra: " << error.what() << "\n";
        result.ExitCode = UsageError;
    }
    return result;
}
