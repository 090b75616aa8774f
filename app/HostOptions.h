#pragma once

#include "app/FrameSize.h"
#include "app/input/KeyScript.h"
#include "app/output/ScreenshotPattern.h"

#include <filesystem>
#include <optional>

// What one run of the host does, as the command line chose it. Paths are absolute, taken
// relative to the directory the program was started in.
struct HostOptions {
    static constexpr int WindowFramesPerSecond = 60; // a window's pace unless --max-fps says otherwise

    bool Headless = false;                        // offscreen rendering instead of a window
    int Frames = 0;                               // frames to run; 0 runs until the window closes
    std::optional<FrameSize> Size;                // --size; without it the script's size or 640x480
    std::optional<int> MaxFramesPerSecond;        // --max-fps (0 unpaced); without it a window keeps
                                                  // to WindowFramesPerSecond and offscreen runs flat out
    std::optional<ScreenshotPattern> Screenshots; // PNG files to write, if any
    int Every = 1;                                // with a numbered pattern, write every Nth frame
    KeyScript Keys;                               // key presses to play
    std::filesystem::path LogPath;                // the kernel's log file
    std::filesystem::path WorkDir;                // directory to run in; empty stays where started
    std::filesystem::path ModulePath;             // the engine module to load
};
