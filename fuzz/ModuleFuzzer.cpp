// The built module driven as a host drives it, on the strict host double: a configuration script
// made from the input (grid sizes, mostly small and now and then big enough to tile, hills, seed),
// Init, then keys and frames in the input's order, then Release. Every frame's drawn triangles must
// be a watertight cover of the tiles drawn (the whole terrain in the top view); any breach of the
// contract stops the run (FuzzContractBreach.cpp), and so does a buffer left alive after Release.

#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition, const std::string& what) {
    if (!condition) {
        std::fprintf(stderr, "module fuzzer: %s\n", what.c_str());
        std::abort();
    }
}

std::string Script(FuzzedDataProvider& in) {
    // One input in 16 tiles (more than 65,536 vertices); the rest stay small, so that an input
    // takes milliseconds.
    const bool tiled = in.ConsumeIntegralInRange<int>(0, 15) == 15;
    const int width = tiled ? in.ConsumeIntegralInRange(257, 700) : in.ConsumeIntegralInRange(-3, 60);
    const int height =
        tiled ? in.ConsumeIntegralInRange(65537 / width + 1, 300) : in.ConsumeIntegralInRange(-3, 60);
    return "local g = heightmap_generator\ng.Width, g.Height = " + std::to_string(width) + ", " +
           std::to_string(height) + "\ng.NbHills, g.MinHillRadius, g.MaxHillRadius = " +
           std::to_string(in.ConsumeIntegralInRange(-5, 400)) + ", " +
           std::to_string(in.ConsumeIntegralInRange(-5, 60)) + ", " +
           std::to_string(in.ConsumeIntegralInRange(-5, 60)) +
           "\ng.Seed = " + std::to_string(in.ConsumeIntegralInRange(-1, 1000)) + "\n";
}

void CheckFrame(const ModuleHarness& harness, const TerrainReadBack& terrain, bool topView) {
    const TerrainReadBack::Frame drawn = terrain.Drawn(harness.Device);
    const std::string problems = terrain.CoverProblems(drawn);
    Require(problems.empty(), problems);
    Require(!topView || std::find(drawn.Drawn.begin(), drawn.Drawn.end(), false) == drawn.Drawn.end(),
            "a tile is missing from the top view");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ModuleHarness harness;
    harness.WriteFile("HeightmapGeneration.lua", Script(in));
    Require(harness.Create() && harness.Init(), "the module did not start");
    const TerrainReadBack terrain = TerrainReadBack::From(harness.Device);
    const bool small = terrain.Width * terrain.Height <= 65536;
    constexpr UINT Keys[] = {84, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_ADD, VK_SUBTRACT};
    bool topView = true;
    for (int step = in.ConsumeIntegralInRange(1, small ? 12 : 4); step > 0 && in.remaining_bytes() > 0;
         --step) {
        const UINT key = in.PickValueInArray(Keys);
        const bool up = in.ConsumeBool();
        topView = topView != (key == 84 && up);
        harness.Send(up ? WM_KEYUP : WM_KEYDOWN, key);
        for (int frame = in.ConsumeIntegralInRange(0, small ? 40 : 3); frame > 0; --frame) {
            harness.Device.Log->Calls.clear();
            Require(harness.Frame(), "a frame failed");
            CheckFrame(harness, terrain, topView);
        }
    }
    harness.Release();
    Require(harness.Device.Log->LiveBuffers.empty(), "buffers outlive Release");
    return 0;
}
