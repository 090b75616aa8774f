// The real window, on a private Xvfb display: drawing, script moves reaching the window, keys and
// closing reaching the kernel's window, and a whole windowed run of veltra.

#include "ProcessRunner.h"
#include "XvfbServer.h"

#include "app/gl/GlRenderer.h"
#include "app/image/PngFile.h"
#include "app/sdl/SdlInput.h"
#include "app/sdl/SdlWindow.h"
#include "host/Host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace {

class KeyRecorder : public KeyboardListener {
public:
    bool OnKeyUp(std::uint32_t key) override {
        Keys.push_back(-static_cast<int>(key));
        return true;
    }
    bool OnKeyDown(std::uint32_t key) override {
        Keys.push_back(static_cast<int>(key));
        return true;
    }
    std::vector<int> Keys; // key-downs positive, key-ups negative
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::Installed())
            GTEST_SKIP() << XvfbServer::Program << " is not installed (scripts/deps installs it)";
        std::string error;
        ASSERT_TRUE(Server.Start(&error)) << error;
        setenv("DISPLAY", Server.Display().c_str(), 1);
    }
    void TearDown() override {
        veltra::platform::SetWindowBackend(nullptr);
        veltra::platform::SetInputSource(nullptr);
    }

    XvfbServer Server;
};

void PushKey(Uint32 type, SDL_Keycode key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

} // namespace

TEST_F(WindowTest, RendererDrawsIntoTheWindowAndScriptMovesReachIt) {
    std::string error;
    std::unique_ptr<SdlWindow> sdl = SdlWindow::Create("test", 160, 120, &error);
    ASSERT_NE(sdl, nullptr) << error;
    EXPECT_NE(sdl->Description().find("window (x11) 160x120"), std::string::npos) << sdl->Description();

    GlRenderer renderer(*sdl, AssetLocator());
    ASSERT_TRUE(renderer.Startup(160, 120)) << renderer.Error();
    renderer.SetClearColor(0xFF204060);
    renderer.CaptureNextFrame = true;
    renderer.BeginScene(1);
    renderer.EndScene(1);
    const Image& frame = renderer.CapturedFrame();
    ASSERT_EQ(frame.Width, 160);
    ASSERT_EQ(frame.Height, 120);
    EXPECT_EQ(frame.Pixel(80, 60)[0], 0x20);
    EXPECT_EQ(frame.Pixel(80, 60)[1], 0x40);
    EXPECT_EQ(frame.Pixel(80, 60)[2], 0x60);

    // The kernel's window, as a script drives it.
    Kernel kernel;
    Window& window = kernel.GetWindow();
    sdl->Bind(window.CreateHandle());
    veltra::platform::SetWindowBackend(sdl.get());
    window.PlaceWindow(30, 40);
    window.ResizeWindow(200, 150);
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(sdl->Native(), &x, &y);
    SDL_GetWindowSize(sdl->Native(), &width, &height);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 150);
    window.HideWindow();
    EXPECT_NE(SDL_GetWindowFlags(sdl->Native()) & SDL_WINDOW_HIDDEN, 0u);
    window.ShowWindow(true);
    EXPECT_EQ(SDL_GetWindowFlags(sdl->Native()) & SDL_WINDOW_HIDDEN, 0u);
    // Sizes no window can have are clamped rather than handed on.
    window.ResizeWindow(-5, 0);
    SDL_GetWindowSize(sdl->Native(), &width, &height);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
    DestroyWindow(window.Handle);
}

TEST_F(WindowTest, KeysReachListenersAndClosingEndsTheLoop) {
    std::string error;
    std::unique_ptr<SdlWindow> sdl = SdlWindow::Create("test", 100, 80, &error);
    ASSERT_NE(sdl, nullptr) << error;
    Kernel kernel;
    KeyRecorder recorder;
    kernel.AddKeyboardListener(&recorder);
    Window& window = kernel.GetWindow();
    SdlInput input(window.CreateHandle());
    veltra::platform::SetInputSource(&input);

    PushKey(SDL_KEYDOWN, SDLK_UP);
    PushKey(SDL_KEYUP, SDLK_t);
    PushKey(SDL_KEYDOWN, SDLK_KP_PLUS);
    // One message per pump, as between frames.
    for (int pump = 0; pump < 3; ++pump)
        EXPECT_TRUE(window.PumpMessages());
    EXPECT_EQ(recorder.Keys, (std::vector<int>{38, -84, 107}));

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    int pumps = 0;
    while (window.PumpMessages() && pumps < 100)
        ++pumps;
    EXPECT_LT(pumps, 100);
    EXPECT_EQ(window.Handle, nullptr);
}

TEST_F(WindowTest, WindowedRunOfVeltraFollowsTheScriptAndWritesItsFrame) {
    std::random_device random;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("veltra-window-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "HeightmapGeneration.lua") << "window:ResizeWindow(200, 100)\n";

    ProcessOptions options;
    options.WorkDir = folder;
    options.Environment["DISPLAY"] = Server.Display();
    ProcessResult result = RunProcess(
        {VELTRA_EXECUTABLE, "--frames", "30", "--size", "160x120", "--screenshot", "window.png"}, options);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    std::stringstream log;
    log << std::ifstream(folder / "veltra.log").rdbuf();
    EXPECT_NE(log.str().find("Host: window (x11) 160x120"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("Host: 30 frames in"), std::string::npos) << log.str();
    // The script's resize reached the window: the last frame has the new size.
    std::optional<Image> frame = png::Read(folder / "window.png");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Width, 200);
    EXPECT_EQ(frame->Height, 100);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
