// The built module driven as a host drives it, on the strict host double: a configuration script
// made from the input (grid sizes, mostly small and one input in 16 big enough to tile, hills,
// seed), the window's size, Init, keys and frames in the input's order, Release. Every frame's
// drawn triangles must be a watertight cover of the tiles drawn, and the whole terrain in the top
// view; a breach of the contract stops the run, and so does a buffer left alive after Release.

#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

void ContractBreach(const std::string& what) {
    std::fprintf(stderr, "host contract: %s\n", what.c_str());
    std::abort();
}

namespace {
void Require(bool condition, const std::string& what) {
    if (!condition)
        std::fprintf(stderr, "module fuzzer: %s\n", what.c_str()), std::abort();
}
} // namespace

// libFuzzer keeps counting in the module's coverage counters, so the module stays loaded from one
// input to the next: camera, light and view carry over, as they do for a second Init in one process.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    return dlopen(VELTRA_MODULE_PATH, RTLD_NOW | RTLD_NODELETE) == nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool tiled = in.ConsumeIntegralInRange(0, 15) == 15; // the rest take milliseconds
    const int width = tiled ? in.ConsumeIntegralInRange(257, 700) : in.ConsumeIntegralInRange(-3, 60);
    const int height =
        tiled ? in.ConsumeIntegralInRange(65537 / width + 1, 300) : in.ConsumeIntegralInRange(-3, 60);
    char script[200];
    std::snprintf(script, sizeof script,
                  "local g = heightmap_generator g.Width, g.Height = %d, %d\n"
                  "g.NbHills, g.MinHillRadius, g.MaxHillRadius, g.Seed = %d, %d, %d, %d\n",
                  width, height, in.ConsumeIntegralInRange(-5, 400), in.ConsumeIntegralInRange(-5, 60),
                  in.ConsumeIntegralInRange(-5, 60), in.ConsumeIntegralInRange(-1, 1000));
    ModuleHarness harness;
    harness.WriteFile("HeightmapGeneration.lua", script);
    // The picture's size, as a host tells it: 0 for none, or a shape the view's sides are cut to.
    harness.TheKernel.GetWindow().Width = in.ConsumeIntegralInRange(0, 2000);
    harness.TheKernel.GetWindow().Height = in.ConsumeIntegralInRange(0, 2000);
    Require(harness.Create() && harness.Init(), "the module did not start");
    const TerrainReadBack terrain = TerrainReadBack::From(harness.Device);
    constexpr UINT Keys[] = {84, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_ADD, VK_SUBTRACT};
    for (int step = in.ConsumeIntegralInRange(1, tiled ? 3 : 8); step > 0 && in.remaining_bytes() > 0;
         --step) {
        const UINT key = in.PickValueInArray(Keys);
        harness.Send(in.ConsumeBool() ? WM_KEYUP : WM_KEYDOWN, key);
        for (int frame = in.ConsumeIntegralInRange(0, tiled ? 3 : 20); frame > 0; --frame) {
            harness.Device.Log->Calls.clear();
            Require(harness.Frame(), "a frame failed");
            const TerrainReadBack::Frame drawn = terrain.Drawn(harness.Device);
            const std::string problems = terrain.CoverProblems(drawn);
            Require(problems.empty(), problems);
            const bool topView = harness.Device.Cameras.back().Pitch != 0.0f;
            Require(!topView || std::count(drawn.Drawn.begin(), drawn.Drawn.end(), false) == 0,
                    "a tile is missing");
        }
    }
    harness.Release();
    Require(harness.Device.Log->LiveBuffers.empty(), "buffers outlive Release");
    return 0;
}
