#include "LongRun.h"

#include "host/EngineInterface.h"
#include "host/Kernel.h"
#include "hostkit/EngineModule.h"
#include "hostkit/NullRenderer.h"

#include <filesystem>
#include <fstream>

namespace {
constexpr UINT KeyT = 84;
constexpr int TurnEvery = 997; // frames between turns, so the flight crosses the terrain often

// The message of a time-stamped line, or "" for a banner.
std::string MessageOf(const std::string& line) {
    const bool stamped = line.size() > 14 && line[2] == ':' && line[5] == ':' && line[8] == ':' &&
                         line[12] == ' ' && line[13] == '\t';
    return stamped ? line.substr(14) : "";
}

std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

void Send(Kernel& kernel, UINT message, WPARAM key) {
    PostMessageA(kernel.GetWindow().Handle, message, key, 0);
    kernel.GetWindow().PumpMessages();
}
} // namespace

LongRunResult LongRun::Run(int frames) {
    LongRunResult result;
    // A scratch folder, so that no configuration script of the working folder is run.
    const auto folder = std::filesystem::temp_directory_path() / "veltra-long-run";
    std::filesystem::create_directories(folder);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const auto logPath = folder / "long-run.log";
    {
        Kernel kernel;
        kernel.GetLog().Open(logPath.string(), false, 0);
        const HWND handle = kernel.GetWindow().CreateHandle();
        NullRenderer device;
        EngineModule module;
        DllInterface* dll = nullptr;
        if (module.Load(EngineModule::DefaultPath()) && module.CreateInterface(&dll)) {
            dll->kernel = &kernel;
            auto* engine = static_cast<EngineInterface*>(dll);
            result.Initialised = engine->Init(&device);
            if (result.Initialised) {
                // The fly view queries the ground under the eye every frame; the Up key keeps it moving.
                Send(kernel, WM_KEYUP, KeyT);
                Send(kernel, WM_KEYDOWN, VK_UP);
                for (int frame = 0; frame < WarmUpFrames; ++frame)
                    engine->Frame(0, &device);
                result.LogBeforeFrames = Lines(logPath);
                result.Start = MemoryUse::Now();
                for (int frame = 1; frame <= frames; ++frame) {
                    if (frame % TurnEvery == 0)
                        Send(kernel, WM_KEYDOWN, VK_LEFT);
                    engine->Frame(0, &device);
                }
                result.End = MemoryUse::Now();
                result.FramesDrawn = static_cast<int>(device.FrameCount);
                engine->Release();
                result.LogAfterRelease = Lines(logPath);
            }
            module.DestroyInterface(&dll);
        }
        if (IsWindow(handle))
            DestroyWindow(handle);
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
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
