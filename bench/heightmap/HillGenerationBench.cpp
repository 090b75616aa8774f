// Time of the default hill generation (150 hills of radius 4 to 8) on the default 50 x 50 grid
// and on the largest 256 x 256 one: hills that visit only their own cells against the loop that
// visits every cell.

#include "EveryCellGeneration.h"
#include "heightmap/HeightmapGenerator.h"

#include <benchmark/benchmark.h>

namespace {

void HillsOwnCells(benchmark::State& state) {
    HeightmapGenerator generator;
    generator.Width = generator.Height = static_cast<std::int32_t>(state.range(0));
    veltra::platform::RuntimeSrand(1u);
    for (auto _ : state) {
        std::unique_ptr<Heightmap> grid(generator.Generate());
        benchmark::DoNotOptimize(grid->Data);
    }
}

void HillsEveryCell(benchmark::State& state) {
    const auto side = static_cast<std::int32_t>(state.range(0));
    veltra::platform::RuntimeSrand(1u);
    for (auto _ : state) {
        std::unique_ptr<Heightmap> grid = EveryCellGenerate(side, side, 150, 4.0f, 8.0f);
        benchmark::DoNotOptimize(grid->Data);
    }
}

BENCHMARK(HillsOwnCells)->Arg(50)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(HillsEveryCell)->Arg(50)->Arg(256)->Unit(benchmark::kMicrosecond);

} // namespace
