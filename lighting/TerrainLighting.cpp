#include "lighting/TerrainLighting.h"

#include "heightmap/GridLimits.h"
#include "lighting/LightingSchedule.h"

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
    const LightDirection light = LightDirection::Of(lightX, lightY, lightZ);
    bool bands = false;
    if (light.CastsShadows) {
        const LightingLevels::Shadow shadow = Levels.ShadowField();
        bands = Sweep.Begin(grid, light, {shadow.Data, shadow.Stride}) && !BandsFailed;
    } else {
        Levels.LightEverything();
    }
    // The horizon is clear again for the next call, however this one ends.
    struct Ending {
        HorizonSweep& Sweep;
        bool Swept;
        ~Ending() {
            if (Swept)
                Sweep.End();
        }
    } ending{Sweep, light.CastsShadows};
    LightingSchedule schedule({grid, light, Sweep, Levels, workers > 1 ? Pool.get() : nullptr, Plan, lit},
                              smoothing, workers, bands);
    schedule.Run();
    LastRounds = schedule.Rounds();
    BandsFailed = BandsFailed || !schedule.Exact();
    // When the calling thread keeps waiting for a worker that the system set aside (the CPUs are busy
    // with other work), sharing costs more than it saves: it works alone for a while, then tries again.
    if (WantedThreads == 0 && workers > 1 && Pool->LongWaits() >= 2)
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
