#pragma once
// Many frames through the built engine module with a renderer that draws nothing, flying over the
// terrain as a user would, with the process's memory measured after warming up and at the end,
// and the log read before the frames and after the Release that follows them.

#include "MemoryUse.h"

#include <string>
#include <vector>

struct LongRunResult {
    bool Initialised = false;
    int FramesDrawn = 0; // frames the renderer saw end, warm-up included
    MemoryUse Start;     // after Init and the warm-up frames
    MemoryUse End;       // after the last frame, before Release
    std::vector<std::string> LogBeforeFrames;
    std::vector<std::string> LogAfterRelease;
};

struct LongRun {
    static constexpr int WarmUpFrames = 100;

    // Runs Init, the warm-up frames, then frames more, then Release.
    static LongRunResult Run(int frames);
    // What is wrong with the run's log, or "" when it is whole.
    static std::string LogProblem(const LongRunResult& result);
};
