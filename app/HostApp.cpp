#include "app/HostApp.h"

#include "app/AssetLocator.h"
#include "app/CommandLine.h"
#include "app/gl/GlRenderer.h"
#include "host/Host.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr auto ProgressInterval = std::chrono::seconds(2);

void Complain(const std::string& message) {
    std::fprintf(stderr, "veltra: %s\n", message.c_str());
}

} // namespace

HostApp::HostApp(HostOptions options)
    : Options(std::move(options)), StartSize(Options.Size.value_or(FrameSize{})) {}

HostApp::~HostApp() {
    StopEngine();
    // The platform hooks point at objects about to go.
    veltra::platform::SetInputSource(nullptr);
    veltra::platform::SetWindowBackend(nullptr);
}

int HostApp::Run() {
    // Caught from the start, in a window as offscreen (the window's library then leaves them to
    // us), so that a stop during start-up also ends the run cleanly and is told by the exit code.
    Signals = std::make_unique<StopSignals>();
    if (!LoadModule() || !OpenContext())
        return 1;
    if (!PlaceWindow() || !StartEngine() || !ApplyFrameSize())
        return 1;
    ChoosePace();
    const bool failed = !RunFrames() || !WriteLastScreenshot();
    StopEngine();
    Summarise();
    if (failed)
        return 1;
    // Cut short by Ctrl-C or SIGTERM: 128 + the signal's number, as a shell reports a command it
    // stopped (130, 143), so that a caller can tell; Escape and a closed window are a normal end.
    const int signal = StopSignals::Caught();
    return signal != 0 ? 128 + signal : 0;
}

// The module, then the working folder it reads its script from; then the log.
bool HostApp::LoadModule() {
    if (!Module.Load(Options.ModulePath.string())) {
        Complain("cannot load the engine module " + Options.ModulePath.string() + ": " + Module.Error());
        return false;
    }
    if (!Options.WorkDir.empty()) {
        std::error_code error;
        std::filesystem::current_path(Options.WorkDir, error);
        if (error) {
            Complain("cannot work in " + Options.WorkDir.string() + ": " + error.message());
            return false;
        }
    }
    Host.GetLog().Open(Options.LogPath.string(), false, 0);
    return true;
}

// A window when one can be had, otherwise offscreen.
bool HostApp::OpenContext() {
    std::string reason;
    if (!Options.Headless) {
        Shown = HostWindow::Create("Veltra", StartSize.Width, StartSize.Height, &reason);
        if (!Shown)
            Complain(reason + "; rendering headless instead");
    }
    if (Shown) {
        Target = Shown.get();
        return true;
    }
    Offscreen = OffscreenContext::Create(StartSize.Width, StartSize.Height, &reason);
    if (!Offscreen) {
        Complain("no offscreen OpenGL 3.3 context: " + reason);
        return false;
    }
    Target = Offscreen.get();
    if (Options.Frames == 0)
        Options.Frames = CommandLine::DefaultHeadlessFrames; // nothing else would end the run
    return true;
}

// The kernel's window: a platform handle, placed and shown where the real window is, which the
// real window's input and a script's moves then reach.
bool HostApp::PlaceWindow() {
    Window& window = Host.GetWindow();
    const HWND handle = window.CreateHandle();
    window.Width = StartSize.Width;
    window.Height = StartSize.Height;
    window.Visible = true;
    if (Shown)
        Shown->Position(&window.X, &window.Y);
    else // offscreen: on Windows the kernel's window is a real one, which a script could show
        veltra::platform::KeepWindowUnseen(handle);
    ::MoveWindow(handle, window.X, window.Y, window.Width, window.Height, TRUE);
    ::ShowWindow(handle, SW_SHOW);
    std::string reason;
    if (Shown && !Shown->Attach(handle, &reason)) {
        Complain(reason);
        return false;
    }
    return true;
}

// The renderer, then the engine, whose Init runs the configuration script.
bool HostApp::StartEngine() {
    Device = std::make_unique<GlRenderer>(*Target, AssetLocator::Default());
    Device->Report = [this](const std::string& message) { Report(message); };
    if (!Device->Startup(StartSize.Width, StartSize.Height)) {
        Complain("the OpenGL renderer cannot start: " + Device->Error());
        return false;
    }
    if (!Module.CreateInterface(&Dll) || Dll == nullptr) {
        Complain("the engine module could not create its engine");
        return false;
    }
    Dll->kernel = &Host;
    static_cast<EngineInterface*>(Dll)->Init(Device.get());
    return true;
}

// One rule in both modes: --size, else the size the script gave the window, else the default.
bool HostApp::ApplyFrameSize() {
    Window& window = Host.GetWindow();
    const bool scriptResized = window.Width != StartSize.Width || window.Height != StartSize.Height;
    FrameSize size = StartSize;
    std::string note;
    if (scriptResized && Options.Size)
        Host.GetLog().Write("Host: the script's window size %dx%d gives way to --size %s", window.Width,
                            window.Height, size.Text().c_str());
    else if (scriptResized)
        size = FrameSize::Bounded(window.Width, window.Height, &note);
    if (!note.empty())
        Report("the script's window size " + note);
    size = FitToScreen(size);
    // The kernel's window tells the module the size it really has.
    window.Width = size.Width;
    window.Height = size.Height;
    std::string error;
    if (!Target->Resize(size.Width, size.Height, &error)) {
        Complain("cannot draw " + size.Text() + " frames: " + error);
        return false;
    }
    Host.GetLog().Write("Host: %s", Target->Description().c_str());
    return true;
}

// A window larger than the screen would hang off it, out of reach.
FrameSize HostApp::FitToScreen(FrameSize size) {
    int width = 0, height = 0;
    if (!Shown || !Shown->UsableArea(&width, &height) || (size.Width <= width && size.Height <= height))
        return size;
    const FrameSize fitted{std::min(size.Width, width), std::min(size.Height, height)};
    Report("the window size " + size.Text() + " is larger than the screen's usable area " +
           FrameSize{width, height}.Text() + "; using " + fitted.Text());
    return fitted;
}

// A window keeps to the display (vsync) and to a frame rate; offscreen runs go flat out.
void HostApp::ChoosePace() {
    const int rate = Options.MaxFramesPerSecond.value_or(Shown ? HostOptions::WindowFramesPerSecond : 0);
    const bool vsync = Shown && Shown->SetVsync(rate != 0);
    Pacer = FramePacer(rate);
    char pace[96];
    if (rate == 0)
        std::snprintf(pace, sizeof(pace), "unpaced");
    else
        std::snprintf(pace, sizeof(pace), "%sat most %d frames a second", vsync ? "vsync, " : "", rate);
    Host.GetLog().Write("Host: %s", pace);
}

bool HostApp::RunFrames() {
    Window& window = Host.GetWindow();
    const Clock::time_point start = Clock::now();
    Clock::time_point lastProgress = start;
    bool ok = true;
    while (Options.Frames == 0 || FramesRun < Options.Frames) {
        const int frame = FramesRun + 1;
        HonourStopSignal(frame);
        Options.Keys.PostDue(frame, window.Handle);
        LastFramePosted = frame;
        if (!window.PumpMessages())
            break;
        if (!DrawFrame(frame)) {
            ok = false;
            break;
        }
        FramesRun = frame;
        if (Clock::now() - lastProgress >= ProgressInterval && Options.Frames > 0) {
            lastProgress = Clock::now();
            std::fprintf(stderr, "veltra: frame %d of %d\n", frame, Options.Frames);
        }
        Pacer.Wait();
    }
    Seconds = std::chrono::duration<double>(Clock::now() - start - Writing).count();
    FramesPerSecond = Seconds > 0.0 ? FramesRun / Seconds : 0.0;
    return ok;
}

// After Ctrl-C or SIGTERM the frame about to be drawn is the last, and is written as a last frame is.
void HostApp::HonourStopSignal(int frame) {
    const int signal = StopSignals::Caught();
    if (signal == 0 || Options.Frames == frame)
        return;
    Options.Frames = frame;
    Report(std::string("stopped by ") + StopSignals::Name(signal) + ": frame " + std::to_string(frame) +
           " is the last");
}

// One frame of the engine, captured and written when it is one of the chosen screenshots.
bool HostApp::DrawFrame(int frame) {
    const bool numbered = Options.Screenshots && Options.Screenshots->Numbered();
    const bool capture =
        Options.Screenshots && ScreenshotPattern::Wanted(numbered, Options.Every, frame, Options.Frames);
    Device->CaptureNextFrame = capture;
    static_cast<EngineInterface*>(Dll)->Frame(0, Device.get());
    const bool captured = capture && !Device->CaptureNextFrame; // EndScene took the picture
    Device->CaptureNextFrame = false;
    return !(captured && numbered) || WriteScreenshot(Options.Screenshots->PathFor(frame));
}

// A plain screenshot name keeps the last frame drawn.
bool HostApp::WriteLastScreenshot() {
    if (FramesRun == 0) { // the user ended the run first: nothing failed, and nothing is written
        Report(std::string("the run ended before its first frame: no frame was drawn") +
               (Options.Screenshots ? ", no screenshot written" : ""));
        return true;
    }
    if (!Options.Screenshots || Options.Screenshots->Numbered())
        return true;
    if (Device->CapturedFrame().Empty()) {
        Complain("no frame was drawn to write to " + Options.Screenshots->PathFor(FramesRun));
        return false;
    }
    return WriteScreenshot(Options.Screenshots->PathFor(FramesRun));
}

bool HostApp::WriteScreenshot(const std::string& path) {
    const Clock::time_point before = Clock::now();
    if (!Device->SaveScreenshot(path.c_str())) {
        Complain("cannot write the screenshot " + path);
        return false;
    }
    Writing += Clock::now() - before;
    ++ScreenshotsWritten;
    (FirstScreenshot.empty() ? FirstScreenshot : LastScreenshot) = path;
    return true;
}

void HostApp::StopEngine() {
    if (Dll != nullptr) {
        static_cast<EngineInterface*>(Dll)->Release();
        Module.DestroyInterface(&Dll);
        Dll = nullptr;
    }
    Window& window = Host.GetWindow();
    if (window.Handle != nullptr)
        DestroyWindow(window.Handle);
}

void HostApp::Summarise() {
    const std::int64_t queued = Options.Keys.Empty() ? 0 : veltra::platform::PendingMessageCount();
    const std::int64_t later = Options.Keys.MessagesAfter(LastFramePosted);
    if (queued + later > 0)
        Report(std::to_string(queued + later) + " key-script message" + (queued + later == 1 ? "" : "s") +
               " not delivered: " + std::to_string(queued) +
               " still waiting when the run ended (one reaches the engine each frame), " +
               std::to_string(later) + " due after its last frame");

    char summary[160];
    std::snprintf(summary, sizeof(summary), "%d frame%s in %.3f s: %.1f frames per second", FramesRun,
                  FramesRun == 1 ? "" : "s", Seconds, FramesPerSecond);
    Host.GetLog().Write("Host: %s", summary);
    std::printf("veltra: %s%s\n", summary, ScreenshotsWritten > 0 ? " (PNG writing not counted)" : "");
    std::printf("veltra: log in %s\n", Options.LogPath.string().c_str());
    if (ScreenshotsWritten == 1)
        std::printf("veltra: 1 PNG file: %s\n", FirstScreenshot.c_str());
    else if (ScreenshotsWritten > 1)
        std::printf("veltra: %d PNG files: %s to %s\n", ScreenshotsWritten, FirstScreenshot.c_str(),
                    LastScreenshot.c_str());
    std::fflush(stdout);
}

void HostApp::Report(const std::string& message) {
    Complain(message);
    Host.GetLog().Write("Host: %s", message.c_str());
}
