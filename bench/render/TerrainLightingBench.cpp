// Time of one frame's terrain lighting, per vertex, through a host that copies on Set and whose Get
// is not one array: the terrain's UpdateLighting (lighting and the Set of every interior vertex),
// the same after reading every vertex back first (what the lighting did before the terrain kept its
// heights and normals), the lighting alone, and the plain reference version.

#include "TerrainLightingOracle.h"
#include "TerrainLightingScene.h"

#include <benchmark/benchmark.h>

namespace {

// Time per vertex and call, shown in seconds with an SI prefix (18.7n = 18.7 ns).
void PerVertex(benchmark::State& state, int vertices) {
    state.counters["per_vertex"] =
        benchmark::Counter(static_cast<double>(vertices),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void TerrainUpdateLighting(benchmark::State& state) {
    TerrainLightingScene scene(static_cast<int>(state.range(0)));
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        scene.Ground.UpdateLighting(nullptr, x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

void ReadBackThenUpdateLighting(benchmark::State& state) {
    TerrainLightingScene scene(static_cast<int>(state.range(0)));
    std::vector<TerrainVertex> copy;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        scene.ReadBack(copy);
        scene.Ground.UpdateLighting(nullptr, x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

void LightingAlone(benchmark::State& state) {
    TerrainLightingScene scene(static_cast<int>(state.range(0)));
    TerrainLighting lighting;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        lighting.Update(scene.Ground.LightingGrid(), x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

void PlainReferenceLighting(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    TerrainLightingScene scene(side);
    std::vector<TerrainVertex> vertices = scene.Vertices();
    TerrainLightingOracle oracle;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        oracle.UpdateLighting(vertices, side, side, 1000.0f, 1000.0f, x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

BENCHMARK(TerrainUpdateLighting)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadBackThenUpdateLighting)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(LightingAlone)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainReferenceLighting)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);

} // namespace
