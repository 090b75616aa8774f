#pragma once

#include "lighting/HorizonSweep.h"
#include "lighting/LightingLevels.h"
#include "lighting/LightingPlan.h"
#include "lighting/LightingPool.h"

#include <atomic>

// How one lighting call's work is cut into rounds of tasks (LightingPlan) and run: on the pool's
// workers, whichever is free taking the next task, or on the calling thread alone in the same
// order. Between its tasks the calling thread hands every span of lines whose grey levels are final
// to the listener, which only it may call.
class LightingSchedule final : private LightingPool::Job {
public:
    struct Parts {
        const TerrainLightingGrid& Grid;
        const LightDirection& Light;
        HorizonSweep& Sweep;
        LightingLevels& Levels;
        LightingPool* Pool; // null when the calling thread works alone
        LightingPlan& Plan;
        LitSpans* Listener; // may be null
    };

    // bands: the sweep found that the lines may be cut into bands (HorizonSweep::Begin).
    LightingSchedule(const Parts& parts, int smoothing, int workers, bool bands);
    void Run();

    // The rounds of the call: the points at which a worker may have to wait for the others.
    int Rounds() const { return static_cast<int>(Work.Plan.Rounds.size()) - 1; }
    // False when a band could not sweep its own vertices exactly; never expected.
    bool Exact() const { return !Inexact.load(std::memory_order_relaxed); }

    // Lines a round sweeps when they are cut into bands, and bands a run has per worker.
    static constexpr int BandLines = 32;
    static constexpr int BandsPerWorker = 1;

private:
    // The lines in the order of the sweep: line i is row (or column) First + i * Step.
    struct LineOrder {
        bool Rows = true;
        int First = 0, Step = 1, Count = 0;
    };

    int Tasks() const override { return static_cast<int>(Work.Plan.Tasks.size()); }
    bool Needed(int task) const override;
    int Prerequisites(int task) const override;
    void Run(int task, int worker) noexcept override;
    void Between(int finished) override;

    void PlanRounds(bool bands);
    LightingPlan::Lines NextShading(int before, int done, int block) const;
    void AddTasks(LightingPlan::Kind what, int parts, int round);
    int BlockLines() const;
    LitSpan SpanOf(LightingPlan::Lines lines, int part, int parts) const;

    Parts Work;
    LineOrder Lines;
    int Smoothing;
    int Workers;
    int Shares; // of each line, for the shading
    int HandedOut = 0, HandOutRound = 0;
    std::atomic<bool> Inexact{false};
};
