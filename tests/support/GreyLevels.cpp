// Prints a checksum of every terrain vertex's colour (its grey level) after frames 1, 10 and 100 of
// the built module, for two fixed terrains: a small one and one of several tiles. Built on every
// system; a Windows build's output must equal the Linux build's line for line. Both stay below the
// size whose lighting runs on several threads: under Wine a process whose module started those
// threads does not end (not yet understood).

#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <cstdint>
#include <cstdio>

namespace {

// FNV-1a over the colours in grid order.
std::uint64_t ColourChecksum(const TerrainReadBack& terrain) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const TerrainVertex& vertex : terrain.Grid)
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (vertex.Diffuse >> shift) & 0xFFu;
            hash *= 1099511628211ull;
        }
    return hash;
}

bool PrintChecksums(const char* name, const std::string& script) {
    ModuleHarness harness;
    harness.Device.Log->Enabled = false; // 100 frames of calls are not needed
    harness.WriteFile("HeightmapGeneration.lua", script);
    if (!harness.Create() || !harness.Init()) {
        std::fprintf(stderr, "the module did not start: %s\n", harness.Module.Error().c_str());
        return false;
    }
    for (int frame = 1; frame <= 100; ++frame) {
        harness.Frame();
        if (frame == 1 || frame == 10 || frame == 100) {
            const TerrainReadBack terrain = TerrainReadBack::From(harness.Device);
            std::printf("%s %dx%d frame %d: %016llx\n", name, terrain.Width, terrain.Height, frame,
                        static_cast<unsigned long long>(ColourChecksum(terrain)));
        }
    }
    harness.Release();
    return true;
}

} // namespace

int main() {
    const bool small =
        PrintChecksums("small", "heightmap_generator.Width = 60 heightmap_generator.Height = 60 "
                                "heightmap_generator.NbHills = 180 heightmap_generator.Seed = 7");
    const bool large =
        PrintChecksums("large", "heightmap_generator.Width = 500 heightmap_generator.Height = 300 "
                                "heightmap_generator.NbHills = 400 heightmap_generator.Seed = 11");
    return small && large ? 0 : 1;
}
