#pragma once

#include "render/LightDirection.h"
#include "render/TerrainLightingGrid.h"

#include <vector>

class LightingPool;

// The shadow sweep: the grid is walked in lines across the light, starting where the light enters;
// each line reads and raises a horizon buffer, which is then smoothed for the next line. Several
// sweepers may share the work: every one walks the same lines, placing and sweeping its share of
// each line's vertices, and they meet twice a line. The sweep owns its horizon and line buffers;
// the shadow factors go where the caller says, and each finished line is reported.
class HorizonSweep {
public:
    // Told on every sweeper after each line, once all of them have finished it.
    class Listener {
    public:
        virtual void Swept(int lines, int sweeper) = 0; // lines [0, lines) of the walk are final

    protected:
        ~Listener() = default;
    };
    // Where the shadow factors go: vertex (row, column) at Data[row * Stride + column].
    struct Output {
        float* Data = nullptr;
        int Stride = 0;
    };

    // Sized for the grid when its shape changes; the horizon starts out clear.
    void Fit(int width, int height, int sweepers);
    // Back to a clear horizon, for the next call.
    void Clear();
    // Sweeps the whole grid as sweeper `sweeper` of `sweepers`, who meet in `pool` (unused alone).
    void Run(const TerrainLightingGrid& grid, const LightDirection& light, Output out, int sweeper,
             int sweepers, LightingPool* pool, Listener& listener);

    // The share of a line of `length` vertices that sweeper `sweeper` of `sweepers` takes: positions
    // [first, end), starting on a group of eight as the placing takes them.
    struct Share {
        int First, End;
    };
    static Share ShareOf(int length, int sweeper, int sweepers);

    // The length whose thirds measure a horizon slot position, across the light.
    static float SlotCell(const TerrainLightingGrid& grid, const LightDirection& light);

private:
    struct Walk;
    struct Slots {
        int Lo = 0, Hi = 0; // a range of slots; empty when Lo >= Hi
    };
    // Each sweeper's lowest and highest horizon position in its share of the line being swept, on a
    // cache line of its own.
    struct alignas(64) Reach {
        float Lowest = 0.0f, Highest = 0.0f;
    };

    static Walk WalkOf(const TerrainLightingGrid& grid, const LightDirection& light);
    void PlaceLine(const TerrainLightingGrid& grid, const Walk& walk, int lineStart, Share share,
                   int sweeper);
    static constexpr Slots Even{-1, -1}; // smooth an even share of the slots
    Slots Smooth(int line, Slots dirty, Slots touched, Slots own, int sweeper, int sweepers);
    bool SharesApart(int sweepers, Slots& touched) const;
    Slots OwnSlots(int sweeper, int sweepers) const;
    void SweepLine(float* shadowOut, float* horizonBuffer, int shadowStep, int from, int to);

    // Two horizon buffers, used alternately (current / next). Each holds, for every slot, the horizon
    // height and beside it the horizon drop: how far the horizon lies above the ground point that set
    // it. Slots [SlotLo, SlotHi) are live; the two slots beyond each end stay 0.0 for the smoothing
    // kernel to read.
    std::vector<float> Horizon[2];
    int SlotLo = 0, SlotHi = 0;
    float CentreSlot = 0.0f;
    // Slots that may hold non-zero values in either buffer; every other slot is 0.0, and zero stays
    // zero under the smoothing, so nothing outside this range needs touching.
    Slots Dirty;
    // Per vertex of the line being swept: where its horizon slot's values start in a horizon buffer
    // (-1: it has none), the weights of that slot and the next side by side, ray height, ground height.
    std::vector<int> LineSlot;
    std::vector<float> LineWeights, LineRay, LineGround;
    std::vector<Reach> Reaches; // per sweeper
    int FittedWidth = 0, FittedHeight = 0;
};
