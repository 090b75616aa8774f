// Time of one terrain lighting update per frame at 50 x 50, 128 x 128 and 256 x 256: the engine's
// version through the terrain's mesh, the lighting core alone over a plain vertex array, and the
// plain reference version through the same mesh operations.

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

void LightingCoreOnArray(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    TerrainLightingScene scene(side);
    std::vector<TerrainVertex> vertices(static_cast<std::size_t>(side) * side);
    for (int n = 0; n < side * side; ++n)
        scene.Ground.Mesh->GetVertex(n, &vertices[static_cast<std::size_t>(n)]);
    TerrainLighting lighting;
    const TerrainLighting::Grid grid{vertices.data(), side, side, 1000.0f, 1000.0f};
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        lighting.Update(grid, x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

void PlainReferenceLighting(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    TerrainLightingScene scene(side);
    TerrainLightingOracle oracle;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        oracle.UpdateLighting(*scene.Ground.Mesh, side, side, 1000.0f, 1000.0f, x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

BENCHMARK(TerrainUpdateLighting)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(LightingCoreOnArray)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainReferenceLighting)->Arg(50)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);

} // namespace
