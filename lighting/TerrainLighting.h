#pragma once

#include "lighting/HorizonSweep.h"
#include "lighting/LightingLevels.h"
#include "lighting/LightingPlan.h"
#include "lighting/LightingPool.h"
#include "lighting/TerrainLightingGrid.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

// Lights a terrain grid for a directional light: soft shadows cast by sweeping the grid along the
// light with a horizon buffer (HorizonSweep), a diffuse term from the normals and two five-point
// blurs (LightingLevels), and a shown brightness that eases towards the new value over several calls.
// The result is a grey level for every interior vertex; the outer ring gets none.
//
// Big grids are lit on every CPU the process may use (LightingPool, started on the first call that
// needs it), as LightingSchedule shares the work out; the calling thread hands each finished span of
// lines to its caller, who may write it to the host, which only the calling thread may do. The grey
// levels are the same whatever the number of threads.
//
// The working storage is sized from the grid when the grid's shape changes and reused otherwise, so
// an ordinary call allocates nothing. Not re-entrant: one instance serves one caller at a time.
class TerrainLighting {
public:
    using Grid = TerrainLightingGrid;
    using Span = LitSpan;

    // (lightX, lightY, lightZ): the direction in which the light travels, any length (LightDirection).
    // smoothing: the shown brightness moves 1/smoothing of the way towards the new value per call;
    // values below 1 count as 1. lit, when given, receives the spans as they are finished. False
    // (nothing computed) for a grid that is missing or outside GridLimits.
    bool Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing,
                LitSpans* lit = nullptr);

    // Grey level 0 .. 255 of vertex n after the last Update; meaningful for interior vertices only.
    std::uint8_t GreyAt(int n) const { return Levels.Greys()[n]; }
    const std::uint8_t* Greys() const { return Levels.Greys(); } // all of them, n = row * Width + column
    // Updates that computed something so far: whose grid the grey levels belong to is told by it.
    std::uint64_t UpdateCount() const { return Updates; }

    // Back to the state at load: the next call starts every shown brightness at 1.0.
    void Reset();
    // Ends the worker threads (the next update starts them again). A module calls it before it can
    // be unloaded: on Windows a thread cannot end while a DLL unloads, so a pool ended from the
    // unloading module's static destructors would wait for ever.
    void StopThreads() { Pool.reset(); }

    // Threads that share the work from the next call on: 0 (the default) one per usable CPU for grids
    // of ThreadedVertices or more and the calling thread alone for smaller ones, where handing work
    // over would cost more than it saves, or for some calls after sharing proved slower (Adapt);
    // n > 0 exactly n threads.
    void SetThreads(int threads);
    static constexpr long long ThreadedVertices = 1 << 17;

    // The one set of working storage that the terrain's lighting uses.
    static TerrainLighting& Module();

    // The last call's rounds: the points at which its workers may have waited for each other.
    int Rounds() const { return LastRounds; }
    // False once a band of the sweep failed to sweep its own vertices exactly, which its halo is
    // sized never to let happen; from then on the lines are swept whole.
    bool BandsExact() const { return !BandsFailed; }

private:
    static constexpr int AloneCalls = 64;
    int Workers(const Grid& grid);
    void Adapt(const Grid& grid, int workers, std::chrono::steady_clock::duration took);

    HorizonSweep Sweep;
    LightingLevels Levels;
    LightingPlan Plan;
    int WantedThreads = 0;
    int LastRounds = 0;
    bool BandsFailed = false;
    int AloneFor = 0;        // calls the calling thread still works alone
    double AloneTime = 0.0;  // seconds a vertex, the last time a big grid was lit alone by choice
    double SharedTime = 0.0; // seconds a vertex, averaged over the last calls that shared the work
    int SharedCalls = 0;     // the calls in that average
    std::uint64_t Updates = 0;
    std::unique_ptr<LightingPool> Pool; // null until a grid needs it
};
