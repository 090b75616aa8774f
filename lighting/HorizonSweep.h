#pragma once

#include "lighting/HorizonKernels.h"
#include "lighting/HorizonWalk.h"
#include "lighting/LightDirection.h"
#include "lighting/TerrainLightingGrid.h"

#include <vector>

// The shadow sweep: the grid is walked in lines across the light, starting where the light enters;
// each line reads and raises a horizon buffer, which is then smoothed for the next line.
//
// The lines may be swept whole, one after the other, or, when the vertices of a line lie more than
// two slots apart across the light (every grid with square cells), in bands: each band keeps a
// range of slots for a run of lines, starting from a copy of the horizon that reaches far enough
// either side (the halo) that everything its own vertices read is exact for the whole run, and
// hands its own slots on to the next run. Bands of one run need nothing from each other. Every
// vertex's shadow factor is the same either way, bit for bit.
//
// Who sweeps which lines when, on which thread, is the caller's business: the sweep only offers the
// steps, each with the number of the worker whose scratch it may use.
class HorizonSweep {
public:
    // Where the shadow factors go: vertex (row, column) at Data[row * Stride + column].
    struct Output {
        float* Data = nullptr;
        int Stride = 0;
    };
    // Lines [FromLine, ToLine) over slots [Lo, Hi); the first and the last band of a run also take
    // the vertices beyond their end, which have no slot. Runs alternate between the two horizons.
    struct Band {
        int FromLine = 0, ToLine = 0, Run = 0;
        int Lo = 0, Hi = 0;
        bool Lowest = false, Highest = false;
    };

    // Sized for the grid when its shape changes; the horizon starts out clear.
    void Fit(int width, int height, int workers);
    // Starts a call: the grid and light stay the caller's until End. True when the lines may be cut
    // into bands.
    bool Begin(const TerrainLightingGrid& grid, const LightDirection& light, Output out);
    int Lines() const { return Walk.Count; }
    // Back to a clear horizon, for the next call.
    void End();

    // Lines [fromLine, toLine), each whole; calls for consecutive lines continue one horizon.
    void SweepWhole(int fromLine, int toLine, int worker);

    // Cuts lines [0, Lines()) into runs of `linesPerRun` lines and each run into `bands` bands of
    // about equal work: run r's bands at [r * bands, (r + 1) * bands).
    void PlanBands(int linesPerRun, int bands, std::vector<Band>& out);
    // Sweeps one band; every band of the runs before it must be finished. False if a vertex of its
    // own could not be swept exactly (the halo was too narrow): its results are then wrong.
    bool SweepBand(const Band& band, int worker);

    // Slots beyond a band's edge with another band that a run of `lines` lines needs: the smoothing
    // reaches two slots a line, and a vertex across the edge leaves one more inexact.
    static int HaloSlots(int lines) { return 3 * lines + 4; }

private:
    struct alignas(64) Scratch {
        horizon::PlacedLine Line;
        std::vector<float> Horizon[2]; // a band's own copy, used alternately as the shared ones
    };
    horizon::Slots Reach(int line) const;
    void FindNeeded(bool ordered);
    horizon::Slots StartBand(const Band& band, Scratch& scratch);
    horizon::Steps OwnSteps(const Band& band, int line) const;
    bool SweepBandLine(const Band& band, int line, Scratch& scratch, horizon::Slots& exact);

    // Two horizon buffers, used alternately (current / next); the two slots beyond each end of the
    // live range stay 0.0 for the smoothing kernel to read.
    std::vector<float> Horizon[2];
    horizon::SlotRange Live;
    // Slots that may hold non-zero values in either buffer; every other slot is 0.0, and zero stays
    // zero under the smoothing, so nothing outside this range needs touching.
    horizon::Slots Dirty;
    std::vector<Scratch> Scratches; // per worker
    int FittedWidth = 0, FittedHeight = 0;

    // The call under way.
    const TerrainLightingGrid* Grid = nullptr;
    HorizonWalk Walk;
    HorizonPositions Positions; // of Grid's vertices on Walk
    bool Apart = false;         // the vertices of a line lie more than two slots apart
    Output Out;
    std::vector<horizon::Slots> Needed; // per line, the slots that it or a later line may read
};
