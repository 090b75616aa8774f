// Arbitrary streams of window messages and frames through the engine, as a host drives it: messages
// posted to the kernel's window and pumped through its window procedure to the engine's listeners,
// or handed to the window procedure straight; frames, releases and second Inits in between. The
// engine is linked in, so that its module-level state can start each input from its load-time
// values.

#include "FuzzRenderer.h"
#include "FuzzValues.h"
#include "engine/FlightState.h"
#include "engine/TerrainEngine.h"
#include "heightmap/HeightmapGenerator.h"
#include "host/DllInterface.h"
#include "host/EngineInterface.h"
#include "host/Kernel.h"
#include "platform/Platform.h"
#include "render/TerrainLighting.h"
#include "script/ScriptVM.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

VELTRA_EXPORT bool CreateDllInterface(DllInterface** slot);
VELTRA_EXPORT void DestroyDllInterface(DllInterface** slot);

namespace {

constexpr int MaxSteps = 400;
constexpr int MaxFrames = 48; // frames relight the terrain: a costly step
constexpr int MaxInits = 4;   // so is building the scene

struct FlightSnapshot {
    float CameraX, CameraZ, CameraHeading, CameraVelocity, LightAngle, LightSpeed;
    std::int32_t LightSmoothing;
    bool TopView;
};
FlightSnapshot AtLoad;

void RestoreFlight() {
    CameraX = AtLoad.CameraX;
    CameraZ = AtLoad.CameraZ;
    CameraHeading = AtLoad.CameraHeading;
    CameraVelocity = AtLoad.CameraVelocity;
    LightAngle = AtLoad.LightAngle;
    LightSpeed = AtLoad.LightSpeed;
    LightSmoothing = AtLoad.LightSmoothing;
    TopView = AtLoad.TopView;
}

// Init, then the script state it opened is closed: it is used only during Init, and the engine
// keeps it until the module unloads, which a fuzzer never does.
bool Init(TerrainEngine* engine, Renderer* device) {
    const bool result = engine->Init(device);
    ScriptVM::Close(engine->VM);
    engine->VM = nullptr;
    return result;
}

DWORD FixedClock() {
    return 12345;
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The keys the engine handles, or any code at all.
WPARAM Key(FuzzedDataProvider& in) {
    constexpr WPARAM keys[] = {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_ADD, VK_SUBTRACT, 84};
    if (in.ConsumeBool())
        return keys[in.ConsumeIntegralInRange<std::size_t>(0, std::size(keys) - 1)];
    return in.ConsumeIntegral<WPARAM>();
}

UINT Message(FuzzedDataProvider& in) {
    constexpr UINT messages[] = {WM_KEYDOWN, WM_KEYUP, WM_MOUSEMOVE, WM_CLOSE, WM_QUIT, WM_DESTROY};
    if (in.ConsumeBool())
        return messages[in.ConsumeIntegralInRange<std::size_t>(0, std::size(messages) - 1)];
    return in.ConsumeIntegral<UINT>();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    AtLoad = {CameraX,    CameraZ,    CameraHeading,  CameraVelocity,
              LightAngle, LightSpeed, LightSmoothing, TopView};
    // Init seeds the hills from the clock: the same input must give the same terrain.
    veltra::platform::SetClockSource(&FixedClock);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    RestoreFlight();
    GeneratorInstance = HeightmapGenerator{};
    TerrainLighting::Module().Reset();

    FuzzRenderer device(static_cast<BufferKind>(in.ConsumeIntegralInRange<int>(0, BufferKindCount - 1)));
    Kernel kernel;
    Window& window = kernel.GetWindow();
    const HWND handle = window.CreateHandle();
    DllInterface* dll = nullptr;
    Require(CreateDllInterface(&dll));
    dll->kernel = &kernel;
    auto* engine = static_cast<TerrainEngine*>(dll);
    Require(Init(engine, &device));
    bool initialised = true;

    int frames = 0;
    int inits = 1;
    for (int step = 0; step < MaxSteps && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        case 0:
            PostMessageA(window.Handle, WM_KEYDOWN, Key(in), 0);
            break;
        case 1:
            PostMessageA(window.Handle, WM_KEYUP, Key(in), 0);
            break;
        case 2:
            PostMessageA(window.Handle, WM_MOUSEMOVE, 0, in.ConsumeIntegral<LPARAM>());
            break;
        case 3: {
            const UINT message = Message(in);
            const auto wParam = in.ConsumeIntegral<WPARAM>();
            PostMessageA(window.Handle, message, wParam, in.ConsumeIntegral<LPARAM>());
            break;
        }
        case 4:
        case 5:
            // The host's loop: it ends once the window is gone.
            if (!window.PumpMessages())
                step = MaxSteps;
            break;
        case 6: {
            const UINT message = Message(in);
            const WPARAM wParam = in.ConsumeBool() ? Key(in) : in.ConsumeIntegral<WPARAM>();
            if (window.Handle != nullptr)
                window.WindowProc(message, wParam, in.ConsumeIntegral<LPARAM>());
            break;
        }
        case 7:
            if (frames++ < MaxFrames) {
                const bool inScene = device.InScene;
                // A frame with a scene ends it (true from the device); without one, false.
                Require(engine->Frame(in.ConsumeIntegral<std::uint32_t>(), &device) == initialised);
                Require(device.InScene == inScene);
            }
            break;
        case 8:
            engine->Release();
            initialised = false;
            break;
        default:
            if (inits++ < MaxInits) {
                Require(Init(engine, &device));
                initialised = true;
            }
            break;
        }
    }
    Require(LightSmoothing >= 1);

    engine->Release();
    DestroyDllInterface(&dll);
    Require(dll == nullptr);
    if (IsWindow(handle))
        DestroyWindow(handle);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    return 0;
}
