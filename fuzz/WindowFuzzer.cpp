// Arbitrary streams of window messages and frames through the engine, as a host drives it: messages
// posted to the kernel's window and pumped to the engine's listeners, or handed to the window
// procedure straight; frames, releases and second Inits in between. The engine is linked in, so
// that its module-level state can start each input from its load-time values.

#include "FuzzRenderer.h"
#include "engine/DllInterface.h"
#include "engine/FlightState.h"
#include "engine/TerrainEngine.h"
#include "heightmap/HeightmapGenerator.h"
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
decltype(std::tuple(Flight())) AtLoad;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The keys and messages the engine handles, or any code at all.
WPARAM Key(FuzzedDataProvider& in) {
    constexpr WPARAM keys[] = {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_ADD, VK_SUBTRACT, 84};
    return in.ConsumeBool() ? keys[in.ConsumeIntegralInRange<std::size_t>(0, std::size(keys) - 1)]
                            : in.ConsumeIntegral<WPARAM>();
}
UINT Message(FuzzedDataProvider& in) {
    constexpr UINT messages[] = {WM_KEYDOWN, WM_KEYUP, WM_MOUSEMOVE, WM_CLOSE, WM_QUIT, WM_DESTROY};
    return in.ConsumeBool() ? messages[in.ConsumeIntegralInRange<std::size_t>(0, std::size(messages) - 1)]
                            : in.ConsumeIntegral<UINT>();
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
        const int action = in.ConsumeIntegralInRange<int>(0, 9);
        switch (action) {
        case 0: // WM_KEYDOWN
        case 1: // WM_KEYUP
            PostMessageA(window.Handle, WM_KEYDOWN + static_cast<UINT>(action), Key(in), 0);
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
            if (!window.PumpMessages()) // the host's loop ends once the window is gone
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
