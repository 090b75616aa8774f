// Time of one frame's terrain lighting, per vertex, through a host that copies on Set and whose Get
// is not one array, at 50, 128, 256, 1024 and 4096 a side, on 1 and 2 threads:
// - the terrain's UpdateLighting (lighting, and the Set of each vertex whose level changed: the light
//   turns a golden angle each call, so nearly all of them);
// - the same over the engine's own frames (most vertices keep their level, and only changed ones are
//   set);
// - the same after reading every vertex back first (what the lighting did before the terrain kept
//   its heights and normals);
// - the lighting alone, two one-thread lightings side by side (the machine's ceiling for two
//   threads), the same beside one busy loop per core, the host's writes alone, and the
//   plain one-thread reference version;
// - the rounds of the workers, alone: the points at which they may wait for each other.
// Times are wall-clock times: the threads share the work.

#include "TerrainLightingOracle.h"
#include "TerrainLightingScene.h"
#include "lighting/LightingPool.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Time per vertex and call, shown in seconds with an SI prefix (18.7n = 18.7 ns).
void PerVertex(benchmark::State& state, int vertices) {
    state.counters["per_vertex"] =
        benchmark::Counter(static_cast<double>(vertices),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One scene per side, built once for every benchmark: a 4096 x 4096 one takes seconds.
TerrainLightingScene& SceneOf(int side) {
    static std::map<int, std::unique_ptr<TerrainLightingScene>> scenes;
    if (scenes.count(side) == 0) {
        scenes.clear(); // one large scene at a time
        scenes[side] = std::make_unique<TerrainLightingScene>(side);
    }
    return *scenes[side];
}

void TerrainUpdateLighting(benchmark::State& state) {
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    TerrainLighting::Module().SetThreads(static_cast<int>(state.range(1)));
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        scene.Ground.UpdateLighting(nullptr, x, y, z, 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

// The same as the engine's frames light it: the light 0.003 radians further round each call, from
// an angle between the axes. Most grey levels stay from one frame to the next, and only the vertices
// whose level changed are written.
void EngineFrames(benchmark::State& state) {
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    TerrainLighting::Module().SetThreads(static_cast<int>(state.range(1)));
    float angle = 0.7f;
    for (auto _ : state) {
        angle += 0.003f;
        scene.Ground.UpdateLighting(nullptr, 45.0f * std::cos(angle), -15.0f, 45.0f * std::sin(angle), 3);
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

void ReadBackThenUpdateLighting(benchmark::State& state) {
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    TerrainLighting::Module().SetThreads(static_cast<int>(state.range(1)));
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
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    TerrainLighting lighting;
    lighting.SetThreads(static_cast<int>(state.range(1)));
    float x = 0.0f, y = 0.0f, z = 0.0f;
    double rounds = 0.0;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        lighting.Update(scene.Ground.LightingGrid(), x, y, z, 3);
        benchmark::ClobberMemory();
        rounds += lighting.Rounds();
    }
    // The points at which the workers may wait for each other, per call.
    state.counters["rounds"] = benchmark::Counter(rounds, benchmark::Counter::kAvgIterations);
    PerVertex(state, scene.VertexCount());
}

// Two one-thread lightings of the grid at once, each with working storage of its own: what two threads
// gain on this machine when they share nothing they write, the ceiling for the pool's two workers.
void LightingSideBySide(benchmark::State& state) {
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    TerrainLighting mine, theirs;
    mine.SetThreads(1);
    theirs.SetThreads(1);
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        std::thread other([&] { theirs.Update(scene.Ground.LightingGrid(), x, y, z, 3); });
        mine.Update(scene.Ground.LightingGrid(), x, y, z, 3);
        other.join();
        benchmark::ClobberMemory();
    }
    PerVertex(state, 2 * scene.VertexCount());
}

// LightingAlone beside one busy loop per usable CPU, started and ended here: other programs keep
// every core busy, and the lighting's workers must not lose more than they gain by sharing.
void LightingBesideBusyLoops(benchmark::State& state) {
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    TerrainLighting lighting;
    lighting.SetThreads(static_cast<int>(state.range(1)));
    std::atomic<bool> stop{false};
    std::vector<std::thread> loops;
    for (int cpu = 0; cpu < LightingPool::UsableCpus(); ++cpu)
        loops.emplace_back([&stop] {
            for (unsigned spin = 0; !stop.load(std::memory_order_relaxed); ++spin)
                benchmark::DoNotOptimize(spin);
        });
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (auto _ : state) {
        scene.NextLight(x, y, z);
        lighting.Update(scene.Ground.LightingGrid(), x, y, z, 3);
        benchmark::ClobberMemory();
    }
    stop = true;
    for (std::thread& loop : loops)
        loop.join();
    PerVertex(state, scene.VertexCount());
}

// The floor under TerrainUpdateLighting: the Set of every vertex of every tile through the copying
// host, one thread (only the host's thread may call it), nothing lit. The vertices are those the
// terrain holds, with a grey level that changes from call to call.
void HostWritesAlone(benchmark::State& state) {
    TerrainLightingScene& scene = SceneOf(static_cast<int>(state.range(0)));
    std::uint32_t grey = 0;
    for (auto _ : state) {
        grey = (grey + 1) & 0xFF;
        for (std::size_t t = 0; t < scene.Ground.TileCount(); ++t) {
            const TileRect& area = scene.Ground.TileArea(t);
            VertexBuffer* vertices = scene.Ground.TileVertices(t).GetVertexBuffer();
            for (int r = 0; r < area.Rows; ++r) {
                TerrainVertex vertex = scene.Ground.VertexAt(area.FirstRow + r, area.FirstColumn, 0);
                for (int c = 0; c < area.Columns; ++c) {
                    vertex.Diffuse = grey * 0x01010101u;
                    vertices->Set(r * area.Columns + c, &vertex);
                }
            }
        }
        benchmark::ClobberMemory();
    }
    PerVertex(state, scene.VertexCount());
}

void PlainReferenceLighting(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    TerrainLightingScene& scene = SceneOf(side);
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

// What a round costs: 2,048 rounds of one empty task per worker, each round's tasks waiting for
// every task of the round before. Time per round, nothing else done.
void PoolRounds(benchmark::State& state) {
    struct Rounds final : LightingPool::Job {
        int Workers;
        explicit Rounds(int workers) : Workers(workers) {}
        int Tasks() const override { return 2048 * Workers; }
        bool Needed(int /*task*/) const override { return true; }
        int Prerequisites(int task) const override { return task / Workers * Workers; }
        void Run(int /*task*/, int /*worker*/) noexcept override {}
        void Between(int /*finished*/) override {}
    };
    LightingPool pool(static_cast<int>(state.range(0)));
    Rounds rounds(pool.Workers());
    for (auto _ : state)
        pool.Run(rounds);
    state.counters["per_round"] = benchmark::Counter(2048.0, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
}

// Sides in increasing order, so that each large scene is built once.
void Sides(benchmark::internal::Benchmark* bench) {
    for (const int side : {50, 128, 256, 1024, 4096})
        for (const int threads : {1, 2})
            bench->Args({side, threads});
}

BENCHMARK(TerrainUpdateLighting)->Apply(Sides)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(EngineFrames)->Apply(Sides)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(ReadBackThenUpdateLighting)
    ->Apply(Sides)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(LightingAlone)->Apply(Sides)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(LightingSideBySide)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
// Threads 0: as many as the lighting chooses, one per usable CPU while they help.
BENCHMARK(LightingBesideBusyLoops)
    ->Args({1024, 1})
    ->Args({1024, 2})
    ->Args({1024, 0})
    ->Args({4096, 1})
    ->Args({4096, 2})
    ->Args({4096, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(HostWritesAlone)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(PoolRounds)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(PlainReferenceLighting)
    ->Args({50, 1})
    ->Args({128, 1})
    ->Args({256, 1})
    ->Args({1024, 1})
    ->Args({4096, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

} // namespace
