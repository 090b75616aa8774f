#pragma once
// One run of the host program: loads the engine module, opens the log, a window or an offscreen
// context and the OpenGL renderer, then alternates the window's message pump with the engine's
// frames until the window closes or the frame count is reached.

#include "app/HostOptions.h"

#include <string>

class HostApp {
public:
    explicit HostApp(HostOptions options) : Options(std::move(options)) {}

    // The process exit code: 0, or 1 after a failure that was reported on stderr.
    int Run();

    // Filled in by Run.
    int FramesRun = 0;
    double FramesPerSecond = 0.0;
    int ScreenshotsWritten = 0;

private:
    HostOptions Options;
};
