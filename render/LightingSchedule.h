#pragma once

#include "render/HorizonSweep.h"
#include "render/LightingLevels.h"
#include "render/LightingPool.h"

#include <vector>

// How one lighting call's work is shared out between the workers, the calling thread being worker 0.
// Every worker sweeps its share of each line; whenever a block of lines has its final shadows on both
// sides, each worker also shades its share of that block, and colours its share of the lines whose
// neighbours' light levels were finished at an earlier step. The calling thread hands each coloured
// span to the listener at its next step, once every worker has met it at the sweep's barriers since.
// Alone, worker 0 does it all in the same order.
class LightingSchedule final : public LightingPool::Job, private HorizonSweep::Listener {
public:
    // What a worker has done, in lines of the sweep's order; every worker's copy agrees with the
    // others at each step, so none is shared. Each on a cache line of its own.
    struct alignas(64) Progress {
        int Shaded = 0;    // lines [0, Shaded) have their light level
        int Coloured = 0;  // lines [0, Coloured) have their grey level
        int HandedOut = 0; // lines [0, HandedOut) went to the listener (worker 0 only)
    };
    struct Parts {
        const TerrainLightingGrid& Grid;
        const LightDirection& Light;
        HorizonSweep& Sweep;
        LightingLevels& Levels;
        LightingPool* Pool;                // null when the calling thread works alone
        std::vector<Progress>& Progresses; // one per worker
        LitSpans* Listener;                // may be null
    };

    LightingSchedule(const Parts& parts, int smoothing, int workers);
    // The whole call, on the pool's workers or on the calling thread alone.
    void Run();

private:
    // The lines in the order of the sweep: line i is row (or column) First + i * Step.
    struct LineOrder {
        bool Rows = true;
        int First = 0, Step = 1, Count = 0;
    };

    void operator()(int worker) override;
    void Swept(int lines, int worker) override;
    void Step(int shadeTo, int worker);
    void HandOut();
    int BlockLines() const;
    LitSpan SpanOf(int fromLine, int toLine, int worker, int workers) const;

    Parts Work;
    LineOrder Lines;
    int Smoothing;
    int Workers;
    int Block;
};
