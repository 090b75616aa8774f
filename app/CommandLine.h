#pragma once
// The veltra command line: options, their checks and the help text.

#include "app/HostOptions.h"

#include <optional>
#include <ostream>
#include <string>

struct CommandLineResult {
    std::optional<HostOptions> Options; // set when the program should run
    int ExitCode = 0;                   // otherwise: 0 after --help or --version, 2 after an error
};

class CommandLine {
public:
    static constexpr int DefaultHeadlessFrames = 300;
    static constexpr int MaxFramesPerSecond = 1000;

    // Parses and checks the arguments; help and errors are written to out and err. displayPresent
    // says whether a window can be opened at all (without one the run is headless).
    static CommandLineResult Parse(int argc, const char* const* argv, bool displayPresent, std::ostream& out,
                                   std::ostream& err);

    // True when a window can be shown: DISPLAY or WAYLAND_DISPLAY names a display on Linux; the
    // window station is visible on Windows.
    static bool DisplayPresent();
};
