#pragma once

#include "app/input/KeyScript.h"
#include "app/output/ScreenshotPattern.h"

#include <filesystem>
#include <optional>

// What one run of the host does, as the command line chose it. Paths are absolute, taken
// relative to the directory the program was started in.
struct HostOptions {
    bool Headless = false; // offscreen rendering instead of a window
    int Frames = 0;        // frames to run; 0 runs until the window closes
    int Width = 640;       // window client size or offscreen frame size
    int Height = 480;
    std::optional<ScreenshotPattern> Screenshots; // PNG files to write, if any
    int Every = 1;                                // with a numbered pattern, write every Nth frame
    KeyScript Keys;                               // key presses to play
    std::filesystem::path LogPath;                // the kernel's log file
    std::filesystem::path WorkDir;                // directory to run in; empty stays where started
    std::filesystem::path ModulePath;             // the engine module to load
};
