#include "app/HostApp.h"

#include "app/AssetLocator.h"
#include "app/CommandLine.h"
#include "app/gl/EglHeadlessContext.h"
#include "app/gl/GlRenderer.h"
#include "app/sdl/SdlInput.h"
#include "app/sdl/SdlWindow.h"
#include "host/Host.h"
#include "hostkit/EngineModule.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto ProgressInterval = std::chrono::seconds(2);

void Complain(const std::string& message) {
    std::fprintf(stderr, "veltra: %s\n", message.c_str());
}

// Undoes the platform hooks however the run ends, before the objects they point at go.
struct PlatformHooks {
    ~PlatformHooks() {
        veltra::platform::SetInputSource(nullptr);
        veltra::platform::SetWindowBackend(nullptr);
    }
};

} // namespace

int HostApp::Run() {
    EngineModule module;
    if (!module.Load(Options.ModulePath.string())) {
        Complain("cannot load the engine module " + Options.ModulePath.string() + ": " + module.Error());
        return 1;
    }
    if (!Options.WorkDir.empty()) {
        std::error_code error;
        std::filesystem::current_path(Options.WorkDir, error);
        if (error) {
            Complain("cannot work in " + Options.WorkDir.string() + ": " + error.message());
            return 1;
        }
    }

    Kernel kernel;
    Log& log = kernel.GetLog();
    log.Open(Options.LogPath.string(), false, 0);
    Window& window = kernel.GetWindow();

    // The context: a window when one can be had, otherwise offscreen.
    std::unique_ptr<SdlWindow> sdlWindow;
    std::unique_ptr<GlContext> context;
    if (!Options.Headless) {
        std::string reason;
        sdlWindow = SdlWindow::Create("Veltra", Options.Width, Options.Height, &reason);
        if (!sdlWindow)
            Complain(reason + "; rendering headless instead");
    }
    if (!sdlWindow) {
        std::string reason;
        context = EglHeadlessContext::Create(Options.Width, Options.Height, &reason);
        if (!context) {
            Complain("no offscreen OpenGL 3.3 context: " + reason);
            return 1;
        }
        if (Options.Frames == 0)
            Options.Frames = CommandLine::DefaultHeadlessFrames; // nothing else would end the run
    }
    GlContext& target = sdlWindow ? static_cast<GlContext&>(*sdlWindow) : *context;

    // The kernel's window: a platform handle, placed and shown where the real window is.
    PlatformHooks hooks;
    HWND handle = window.CreateHandle();
    window.Width = Options.Width;
    window.Height = Options.Height;
    window.Visible = true;
    if (sdlWindow)
        SDL_GetWindowPosition(sdlWindow->Native(), &window.X, &window.Y);
    ::MoveWindow(handle, window.X, window.Y, window.Width, window.Height, TRUE);
    ::ShowWindow(handle, SW_SHOW);
    SdlInput input(handle);
    if (sdlWindow) {
        sdlWindow->Bind(handle);
        veltra::platform::SetWindowBackend(sdlWindow.get());
        veltra::platform::SetInputSource(&input);
    }

    GlRenderer renderer(target, AssetLocator::Default());
    renderer.Report = [&log](const std::string& message) {
        Complain(message);
        log.Write("Host: %s", message.c_str());
    };
    if (!renderer.Startup(Options.Width, Options.Height)) {
        Complain("the OpenGL renderer cannot start: " + renderer.Error());
        return 1;
    }
    log.Write("Host: %s", target.Description().c_str());

    DllInterface* dll = nullptr;
    if (!module.CreateInterface(&dll) || dll == nullptr) {
        Complain("the engine module could not create its engine");
        return 1;
    }
    dll->kernel = &kernel;
    auto* engine = static_cast<EngineInterface*>(dll);
    engine->Init(&renderer);

    const bool numbered = Options.Screenshots && Options.Screenshots->Numbered();
    bool failed = false;
    Clock::duration writing{};
    const Clock::time_point start = Clock::now();
    Clock::time_point lastProgress = start;
    while (Options.Frames == 0 || FramesRun < Options.Frames) {
        const int frame = FramesRun + 1;
        Options.Keys.PostDue(frame, window.Handle);
        if (!window.PumpMessages())
            break;
        const bool capture =
            Options.Screenshots && ScreenshotPattern::Wanted(numbered, Options.Every, frame, Options.Frames);
        renderer.CaptureNextFrame = capture;
        engine->Frame(0, &renderer);
        FramesRun = frame;
        const bool captured = capture && !renderer.CaptureNextFrame; // EndScene took the picture
        renderer.CaptureNextFrame = false;
        if (captured && numbered) {
            const Clock::time_point before = Clock::now();
            const std::string path = Options.Screenshots->PathFor(frame);
            if (!renderer.SaveScreenshot(path.c_str())) {
                Complain("cannot write the screenshot " + path);
                failed = true;
                break;
            }
            ++ScreenshotsWritten;
            writing += Clock::now() - before;
        }
        if (Clock::now() - lastProgress >= ProgressInterval && Options.Frames > 0) {
            lastProgress = Clock::now();
            std::fprintf(stderr, "veltra: frame %d of %d\n", frame, Options.Frames);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start - writing).count();
    FramesPerSecond = seconds > 0.0 ? FramesRun / seconds : 0.0;

    if (!failed && Options.Screenshots && !numbered) {
        const std::string path = Options.Screenshots->PathFor(FramesRun);
        if (renderer.CapturedFrame().Empty() || !renderer.SaveScreenshot(path.c_str())) {
            Complain("cannot write the screenshot " + path);
            failed = true;
        } else {
            ++ScreenshotsWritten;
        }
    }

    engine->Release();
    module.DestroyInterface(&dll);
    if (window.Handle != nullptr)
        DestroyWindow(window.Handle);

    char summary[160];
    std::snprintf(summary, sizeof(summary), "%d frames in %.3f s: %.1f frames per second", FramesRun, seconds,
                  FramesPerSecond);
    log.Write("Host: %s", summary);
    std::printf("veltra: %s%s\n", summary, ScreenshotsWritten > 0 ? " (PNG writing not counted)" : "");
    std::printf("veltra: log in %s\n", Options.LogPath.c_str());
    if (ScreenshotsWritten > 0)
        std::printf("veltra: %d PNG file%s: %s\n", ScreenshotsWritten, ScreenshotsWritten == 1 ? "" : "s",
                    Options.Screenshots->Text().c_str());
    std::fflush(stdout);
    return failed ? 1 : 0;
}
