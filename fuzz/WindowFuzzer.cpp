// Arbitrary streams of window messages and frames through the engine, as a host drives it: messages
// posted to the kernel's window and pumped to the engine's listeners, or handed to the window
// procedure straight; frames, releases and second Inits in between. The engine is linked in, so
// that its module-level state can start each input from its load-time values.

#include "FuzzValues.h"
#include "engine/FlightState.h"
#include "engine/TerrainEngine.h"
#include "heightmap/HeightmapGenerator.h"
#include "host/DllInterface.h"
#include "host/Kernel.h"
#include "render/TerrainLighting.h"
#include "script/ScriptVM.h"

#include <cmath>
#include <tuple>

VELTRA_EXPORT bool CreateDllInterface(DllInterface** slot);
VELTRA_EXPORT void DestroyDllInterface(DllInterface** slot);

namespace {

auto Flight() {
    return std::tie(CameraX, CameraZ, CameraHeading, CameraVelocity, LightAngle, LightSpeed, LightSmoothing,
                    TopView);
}
std::tuple<float, float, float, float, float, float, std::int32_t, bool> AtLoad;

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
    RecordingRenderer device;
    MakeBuffersSomehow(in, device);
    Kernel kernel;
    Window& window = kernel.GetWindow();
    const HWND handle = window.CreateHandle();
    DllInterface* dll = nullptr;
    Require(CreateDllInterface(&dll));
    dll->kernel = &kernel;
    auto* engine = static_cast<TerrainEngine*>(dll);
    Require(engine->Init(&device));
    bool initialised = true;
    // At most 48 frames and 4 Inits an input: they relight and rebuild the terrain.
    for (int step = 0, frames = 0, inits = 1; step < 400 && in.remaining_bytes() > 0; ++step) {
        constexpr UINT messages[] = {WM_KEYDOWN, WM_KEYUP, WM_MOUSEMOVE, WM_CLOSE, WM_QUIT, WM_DESTROY};
        constexpr WPARAM keys[] = {VK_PRIOR, VK_NEXT, VK_LEFT,     VK_UP, VK_RIGHT,
                                   VK_DOWN,  VK_ADD,  VK_SUBTRACT, 84};
        const int action = in.ConsumeIntegralInRange<int>(0, 8);
        // A key or mouse message (one the engine handles, or any), posted or handed to the window straight.
        if (action <= 2) {
            const UINT message = in.PickValueInArray(messages);
            const WPARAM key = in.ConsumeBool() ? in.PickValueInArray(keys) : in.ConsumeIntegral<WPARAM>();
            const auto lParam = in.ConsumeIntegral<LPARAM>();
            if (action == 0 && window.Handle != nullptr)
                window.WindowProc(message, key, lParam);
            else
                PostMessageA(window.Handle, message, key, lParam);
        } else if (action <= 5 && !window.PumpMessages()) { // the host's loop ends once the window is gone
            break;
        } else if (action == 6 && frames++ < 48) {
            // A frame with a scene draws it, whole, from a real view; without one, false.
            Require(engine->Frame(in.ConsumeIntegral<std::uint32_t>(), &device) == initialised);
            const CameraCall view = device.Cameras.empty() ? CameraCall{} : device.Cameras.back();
            Require(std::isfinite(view.Tx + view.Ty + view.Tz + view.Yaw + view.Pitch + view.Roll));
        } else if (action == 7) {
            engine->Release();
            initialised = false;
        } else if (action == 8 && inits++ < 4) {
            Require(engine->Init(&device));
            initialised = true;
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
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
    }
    return 0;
}
