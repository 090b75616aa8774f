#pragma once
// The veltra command line: options, their checks and the help text.

#include "app/HostOptions.h"

#include <optional>
#include <ostream>
#include <string>

struct CommandLineResult {
    std::optional<HostOptions> Options; // set when the program should run
    int ExitCode = 0;                   // otherwise: 0 after --help, 2 after an error
};

class CommandLine {
public:
    static constexpr int DefaultHeadlessFrames = 300;
    static constexpr int MaxSide = 16384;

    // Parses and checks the arguments; help and errors are written to out and err. displayPresent
    // says whether a window can be opened at all (without one the run is headless).
    static CommandLineResult Parse(int argc, const char* const* argv, bool displayPresent, std::ostream& out,
                                   std::ostream& err);

    // True when DISPLAY or WAYLAND_DISPLAY names a display.
    static bool DisplayPresent();
    // "640x480" into width and height (each 1..MaxSide), or the reason it is not one.
    static std::optional<std::string> ParseSize(const std::string& text, int* width, int* height);
};
