#include "LongRun.h"

#include "hostkit/NullRenderer.h"
#include "support/ModuleHarness.h"

namespace {
constexpr UINT KeyT = 84;
constexpr int TurnEvery = 997; // frames between turns, so the flight crosses the terrain often

// The message of a time-stamped line, or "" for a banner.
std::string MessageOf(const std::string& line) {
    const bool stamped = line.size() > 14 && line[2] == ':' && line[5] == ':' && line[8] == ':' &&
                         line[12] == ' ' && line[13] == '\t';
    return stamped ? line.substr(14) : "";
}
} // namespace

LongRunResult LongRun::Run(int frames) {
    LongRunResult result;
    ModuleHarness harness;
    NullRenderer device;
    if (!harness.Create() || !harness.Engine()->Init(&device))
        return result;
    result.Initialised = true;

    // The fly view queries the ground under the eye every frame; the Up key keeps it moving.
    harness.Send(WM_KEYUP, KeyT);
    harness.Send(WM_KEYDOWN, VK_UP);
    for (int frame = 0; frame < WarmUpFrames; ++frame)
        harness.Engine()->Frame(0, &device);
    result.LogBeforeFrames = harness.LogLines();
    result.Start = MemoryUse::Now();

    for (int frame = 1; frame <= frames; ++frame) {
        if (frame % TurnEvery == 0)
            harness.Send(WM_KEYDOWN, VK_LEFT);
        harness.Engine()->Frame(0, &device);
    }

    result.End = MemoryUse::Now();
    result.FramesDrawn = static_cast<int>(device.FrameCount);
    harness.Release();
    result.LogAfterRelease = harness.LogLines();
    return result;
}

std::string LongRun::LogProblem(const LongRunResult& result) {
    const std::vector<std::string>& before = result.LogBeforeFrames;
    const std::vector<std::string>& after = result.LogAfterRelease;
    if (before.size() < 3 || MessageOf(before[2]) != "Initialising VeltraEngine...")
        return "the log does not start with the banners and Init";
    // Frames log nothing; Release adds its two lines, time-stamped, after everything Init wrote.
    if (after.size() != before.size() + 2)
        return "the log has " + std::to_string(after.size()) + " lines after Release, " +
               std::to_string(before.size()) + " before the frames";
    for (std::size_t line = 0; line < before.size(); ++line)
        if (after[line] != before[line])
            return "line " + std::to_string(line + 1) + " changed: " + after[line];
    if (MessageOf(after[after.size() - 2]) != "Releasing VeltraEngine..." ||
        MessageOf(after.back()) != "-> Close VM")
        return "Release wrote " + after[after.size() - 2] + " / " + after.back();
    return "";
}
