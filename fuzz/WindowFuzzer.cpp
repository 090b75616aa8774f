// Arbitrary streams of window messages and frames through the engine, as a host drives it: messages
// posted to the kernel's window and pumped to the engine's listeners, or handed to the window
// procedure straight; frames, releases and second Inits in between. The engine is linked in, so
// that its module-level state can start each input from its load-time values.

#include "FuzzRenderer.h"
#include "FuzzValues.h"
#include "engine/FlightState.h"
#include "engine/TerrainEngine.h"
#include "heightmap/HeightmapGenerator.h"
#include "host/DllInterface.h"
#include "host/EngineInterface.h"
#include "host/Kernel.h"
#include "render/TerrainLighting.h"
#include "script/ScriptVM.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <tuple>

VELTRA_EXPORT bool CreateDllInterface(DllInterface** slot);
VELTRA_EXPORT void DestroyDllInterface(DllInterface** slot);

namespace {

constexpr int MaxSteps = 400;
constexpr int MaxFrames = 48; // frames relight the terrain: a costly step
constexpr int MaxInits = 4;   // so is building the scene

auto Flight() {
    return std::tie(CameraX, CameraZ, CameraHeading, CameraVelocity, LightAngle, LightSpeed, LightSmoothing,
                    TopView);
}
std::tuple<float, float, float, float, float, float, std::int32_t, bool> AtLoad; // at load

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// One of the keys the engine handles, or any code at all.
WPARAM Key(FuzzedDataProvider& in) {
    constexpr WPARAM keys[] = {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_ADD, VK_SUBTRACT, 84};
    return in.ConsumeBool() ? keys[in.ConsumeIntegralInRange<std::size_t>(0, std::size(keys) - 1)]
                            : in.ConsumeIntegral<WPARAM>();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    AtLoad = Flight();
    // Init seeds the hills from the clock: the same input must give the same terrain.
    veltra::platform::SetClockSource([]() -> DWORD { return 12345; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Flight() = AtLoad;
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
    Require(engine->Init(&device));
    bool initialised = true;
    int frames = 0;
    int inits = 1;
    for (int step = 0; step < MaxSteps && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange<int>(0, 8);
        switch (action) {
        case 0:
        case 1:
        case 2: { // a key or mouse message, posted or handed to the window procedure straight
            constexpr UINT messages[] = {WM_KEYDOWN, WM_KEYUP, WM_MOUSEMOVE, WM_CLOSE, WM_QUIT, WM_DESTROY};
            const UINT message = messages[in.ConsumeIntegralInRange<std::size_t>(0, std::size(messages) - 1)];
            const WPARAM wParam = Key(in);
            const auto lParam = in.ConsumeIntegral<LPARAM>();
            if (action == 0 && window.Handle != nullptr)
                window.WindowProc(message, wParam, lParam);
            else
                PostMessageA(window.Handle, message, wParam, lParam);
            break;
        }
        case 3:
        case 4:
        case 5:
            if (!window.PumpMessages()) // the host's loop ends once the window is gone
                step = MaxSteps;
            break;
        case 6:
            if (frames++ < MaxFrames) {
                const bool inScene = device.InScene;
                // A frame with a scene ends it (true from the device); without one, false.
                Require(engine->Frame(in.ConsumeIntegral<std::uint32_t>(), &device) == initialised);
                Require(device.InScene == inScene);
            }
            break;
        case 7:
            engine->Release();
            initialised = false;
            break;
        default:
            if (inits < MaxInits) {
                ++inits;
                Require(engine->Init(&device));
                initialised = true;
            }
            break;
        }
    }
    Require(LightSmoothing >= 1);
    engine->Release();
    // The engine keeps its script state until the module unloads, which a fuzzer never does.
    ScriptVM::Close(engine->VM);
    DestroyDllInterface(&dll);
    Require(dll == nullptr);
    if (IsWindow(handle))
        DestroyWindow(handle);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    return 0;
}
