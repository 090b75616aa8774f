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
    if (grid.Points == nullptr || grid.RowHeights == nullptr || grid.ColumnHeights == nullptr ||
        grid.RowX == nullptr || grid.ColumnZ == nullptr || !GridLimits::Fits(grid.Width, grid.Height))
        return false;
    const auto start = std::chrono::steady_clock::now();
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
    Adapt(grid, workers, std::chrono::steady_clock::now() - start);
    ++Updates;
    return true;
}

// When the CPUs are busy with other work, the system sets workers aside while they hold a task and
// the others wait for them: sharing can then cost more than it saves. A big grid's calls that share
// the work and are slower on average than the last that worked alone are followed by a while of
// working alone, and then sharing is tried afresh.
void TerrainLighting::Adapt(const Grid& grid, int workers, std::chrono::steady_clock::duration took) {
    const long long vertices = static_cast<long long>(grid.Width) * grid.Height;
    if (WantedThreads != 0 || vertices < ThreadedVertices)
        return;
    const double perVertex = std::chrono::duration<double>(took).count() / static_cast<double>(vertices);
    if (workers == 1) {
        AloneTime = perVertex;
        return;
    }
    // One slow call is no proof: another thread of the host's may have held a core for a while. The
    // shared calls' times are averaged, and long waits earn one call alone to compare them with; only
    // a loss of a tenth or more, measured over two calls or more, sets sharing aside (working alone
    // beside busy programs gets the process less of the machine, so a close call favours sharing).
    SharedTime = SharedCalls > 0 ? 0.75 * SharedTime + 0.25 * perVertex : perVertex;
    ++SharedCalls;
    const bool measured = AloneTime > 0.0;
    if (measured ? SharedCalls >= 2 && SharedTime > 1.1 * AloneTime : Pool->LongWaits() >= 2) {
        AloneFor = measured ? AloneCalls : 1;
        SharedCalls = 0;
    }
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
