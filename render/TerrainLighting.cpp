#include "render/TerrainLighting.h"

#include "heightmap/GridLimits.h"

#include <algorithm>

TerrainLighting& TerrainLighting::Module() {
    static TerrainLighting lighting;
    return lighting;
}

void TerrainLighting::Reset() {
    // The threads stay: only what the lighting shows starts afresh.
    std::unique_ptr<LightingPool> pool = std::move(Pool);
    const int threads = WantedThreads;
    const std::uint64_t updates = Updates; // still tells whose grey levels are whose
    *this = TerrainLighting{};
    Pool = std::move(pool);
    WantedThreads = threads;
    Updates = updates;
}

void TerrainLighting::SetThreads(int threads) {
    WantedThreads = std::max(threads, 0);
}

bool TerrainLighting::Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing,
                             LitSpans* lit) {
    if (grid.Points == nullptr || grid.RowX == nullptr || grid.ColumnZ == nullptr ||
        !GridLimits::Fits(grid.Width, grid.Height))
        return false;
    const int workers = Workers(grid);
    if (workers > 1 && (Pool == nullptr || Pool->Workers() != workers))
        Pool = std::make_unique<LightingPool>(workers);
    Sweep.Fit(grid.Width, grid.Height, workers);
    Levels.Fit(grid.Width, grid.Height, workers);
    if (Progresses.size() < static_cast<std::size_t>(workers))
        Progresses.resize(static_cast<std::size_t>(workers));
    const LightDirection light = LightDirection::Of(lightX, lightY, lightZ);
    if (light.CastsShadows)
        Sweep.Clear();
    else
        Levels.LightEverything();
    LightingSchedule({grid, light, Sweep, Levels, workers > 1 ? Pool.get() : nullptr, Progresses, lit},
                     smoothing, workers)
        .Run();
    // The workers meet twice a line. When one of them keeps finding the others away (the CPUs are
    // busy with other work), sharing costs more than it saves: the calling thread works alone for a
    // while, then tries again.
    if (WantedThreads == 0 && workers > 1 && Pool->BlockedSyncs() > std::max(grid.Width, grid.Height) / 8)
        AloneFor = AloneCalls;
    ++Updates;
    return true;
}

int TerrainLighting::Workers(const Grid& grid) {
    if (WantedThreads > 0)
        return WantedThreads;
    if (static_cast<long long>(grid.Width) * grid.Height < ThreadedVertices)
        return 1;
    if (AloneFor > 0) {
        --AloneFor;
        return 1;
    }
    return LightingPool::UsableCpus();
}
