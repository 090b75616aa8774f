#pragma once
// One run of the host program: loads the engine module, opens the log, a window or an offscreen
// context and the OpenGL renderer, then alternates the window's message pump with the engine's
// frames until the window closes or the frame count is reached.

#include "app/FramePacer.h"
#include "app/HostOptions.h"
#include "app/HostWindow.h"
#include "app/StopSignals.h"
#include "host/Host.h"
#include "hostkit/EngineModule.h"

#include <chrono>
#include <memory>
#include <string>

class GlContext;
class GlRenderer;

class HostApp {
public:
    explicit HostApp(HostOptions options);
    ~HostApp();
    HostApp(const HostApp&) = delete;
    HostApp& operator=(const HostApp&) = delete;

    // The process exit code: 0, 1 after a failure that was reported on stderr, or 128 + the signal's
    // number (130, 143) after a run that Ctrl-C or SIGTERM cut short.
    int Run();

    // Filled in by Run.
    int FramesRun = 0;
    double FramesPerSecond = 0.0;
    int ScreenshotsWritten = 0;

private:
    using Clock = std::chrono::steady_clock;

    // The steps of a run, in order; each false after a failure it reported.
    bool LoadModule();
    bool OpenContext();
    bool PlaceWindow();
    bool StartEngine();
    bool ApplyFrameSize();
    FrameSize FitToScreen(FrameSize size);
    void ChoosePace();
    bool RunFrames();
    void HonourStopSignal(int frame);
    bool DrawFrame(int frame);
    bool WriteLastScreenshot();
    void StopEngine();
    void Summarise();

    bool WriteScreenshot(const std::string& path);
    // A problem worth telling the user: on stderr and in the log.
    void Report(const std::string& message);

    HostOptions Options;
    FrameSize StartSize;
    EngineModule Module;
    Kernel Host;
    std::unique_ptr<HostWindow> Shown;    // the window, when there is one
    std::unique_ptr<GlContext> Offscreen; // otherwise the offscreen context
    GlContext* Target = nullptr;          // whichever of the two there is
    std::unique_ptr<StopSignals> Signals; // Ctrl-C and SIGTERM end the run cleanly
    std::unique_ptr<GlRenderer> Device;
    DllInterface* Dll = nullptr;
    FramePacer Pacer{0};
    int LastFramePosted = 0;
    Clock::duration Writing{};
    double Seconds = 0.0;
    std::string FirstScreenshot;
    std::string LastScreenshot;
};
