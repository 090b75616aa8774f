// veltra_long_run [frames]: the long run (scripts/longrun builds it
// optimised). Prints the memory figures; exit code 1 when memory grew or the log is wrong.

#include "LongRun.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: veltra_long_run [frames > 0]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const LongRunResult run = LongRun::Run(frames);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!run.Initialised) {
        std::fprintf(stderr, "veltra_long_run: the engine module did not load or initialise\n");
        return 1;
    }
    const auto growth =
        static_cast<long long>(run.End.HeapBytes) - static_cast<long long>(run.Start.HeapBytes);
    const auto residentGrowth =
        static_cast<long long>(run.End.ResidentBytes) - static_cast<long long>(run.Start.ResidentBytes);
    const std::string logProblem = LongRun::LogProblem(run);
    std::printf("frames: %d after %d warm-up frames, %.1f s\n", frames, LongRun::WarmUpFrames, seconds);
    std::printf("heap in use: %zu bytes at the start, %zu at the end (%+lld)\n", run.Start.HeapBytes,
                run.End.HeapBytes, growth);
    std::printf("resident: %zu bytes at the start, %zu at the end (%+lld)\n", run.Start.ResidentBytes,
                run.End.ResidentBytes, residentGrowth);
    std::printf("log: %s\n", logProblem.empty() ? "whole, Release lines last" : logProblem.c_str());
    const bool grew = growth > 0 || residentGrowth > (1 << 20);
    return grew || !logProblem.empty() || run.FramesDrawn != frames + LongRun::WarmUpFrames ? 1 : 0;
}
