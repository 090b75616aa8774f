#pragma once

#include "render/LargePageAllocator.h"
#include "render/LightingPool.h"
#include "render/SurfacePoint.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// Lights a terrain grid for a directional light: soft shadows cast by sweeping the grid along the
// light with a horizon buffer (TerrainLightingSweep.cpp), a diffuse term from the normals and two
// five-point blurs (TerrainLightingShading.cpp), and a shown brightness that eases towards the new
// value over several calls. The grid is Width x Height vertices numbered n = row * Width + column;
// rows are lines of constant world x, columns lines of constant world z. The result is a grey
// level for every interior vertex; the outer ring gets none.
//
// Big grids are lit on every core (LightingPool, started on the first call that needs it): the
// other threads sweep, the lines in order, sharing out the vertices of a line and the slots of the
// horizon when there are several of them; a few lines behind the sweep the passes follow, block by
// block, and the calling thread hands each finished span of lines to its caller, so that the writes
// to the host, which only the calling thread may make, overlap the sweep. The grey levels are the
// same whatever the number of threads.
//
// The working storage is sized from the grid when the grid's shape changes and reused otherwise, so
// an ordinary call allocates nothing. Not re-entrant: one instance serves one caller at a time.
class TerrainLighting {
public:
    struct Grid {
        const SurfacePoint* Points = nullptr; // Width * Height of them
        const float* RowX = nullptr;          // world x of each row
        const float* ColumnZ = nullptr;       // world z of each column
        int Width = 0;                        // columns
        int Height = 0;                       // rows
        float ExtentX = 1000.0f;              // world size along x, centred on 0
        float ExtentZ = 1000.0f;              // world size along z, centred on 0
        // The heights again, column by column (n = column * Height + row), for sweeps along
        // columns; without them those sweeps read the points across the rows.
        const float* ColumnHeights = nullptr;
    };

    // Vertices whose grey levels are final: rows [FirstRow, EndRow) x columns [FirstColumn, EndColumn).
    struct Span {
        int FirstRow = 0, EndRow = 0, FirstColumn = 0, EndColumn = 0;
    };
    // Called on the thread that called Update, once for each of a series of spans that together
    // hold every interior vertex once, each as soon as its grey levels are final.
    using Lit = void (*)(void* context, const Span& span);

    // (lightX, lightY, lightZ): the direction in which the light travels, any length. Only a light
    // that travels downwards and has a horizontal part casts shadows; one that is zero or not finite
    // gives ambient light only. smoothing: the shown brightness moves 1/smoothing of the way towards
    // the new value per call; values below 1 count as 1. False (nothing computed) for a grid that is
    // missing or outside GridLimits.
    bool Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing, Lit lit = nullptr,
                void* context = nullptr);

    // Grey level 0 .. 255 of vertex n after the last Update; meaningful for interior vertices only.
    std::uint8_t GreyAt(int n) const { return Grey[static_cast<std::size_t>(n)]; }

    // Back to the state at load: the next call starts every shown brightness at 1.0.
    void Reset();

    // Threads that share the work from the next call on: 0 (the default) as many as the machine has
    // cores for grids of ThreadedVertices or more and the calling thread alone for smaller ones,
    // where handing work over would cost more than it saves; n > 0 exactly n threads.
    void SetThreads(int threads);
    static constexpr long long ThreadedVertices = 1 << 17;

    // The one set of working storage that the terrain's lighting uses.
    static TerrainLighting& Module();

private:
    struct Light {
        float NX = 0.0f, NY = 0.0f, NZ = 0.0f; // unit direction
        float HX = 0.0f, HZ = 0.0f;            // unit horizontal direction
        bool CastsShadows = false;
        bool RowLines = false; // the light runs mainly along x: sweep row by row
        bool XNegative = false, ZNegative = false;
    };
    struct LineGeometry {
        float X0, Z0; // entry corner
        float Cell;   // SlotCell
        float HX, HZ, NY;
    };

    // The lines in the order of the sweep: line i is row (or column) First + i * Step.
    struct LineOrder {
        bool Rows = true;
        int First = 0, Step = 1, Count = 0;
    };
    struct Call {
        TerrainLighting* Lighting;
        const Grid* Surface;
        Light Direction;
        LineOrder Lines;
        int Smoothing;
        int Workers;
        Lit OnLit;
        void* Context;
        std::atomic<int> Swept{0};        // lines [0, Swept) of the sweep order have their final shadow
        std::atomic<int> Shaded{0};       // lines [0, Shaded) have their light level
        std::atomic<bool> Shading{false}; // held by the thread shading
        int Coloured = 0;                 // lines [0, Coloured) have their grey level and were handed out
    };

    static Light Direction(float lightX, float lightY, float lightZ);
    void Fit(int width, int height, int workers);
    static void Work(void* call, int worker);
    void SyncSweepers(int sweepers);
    void LineSwept(Call& call, int swept, int sweeper);
    static int BlockLines(const Call& call);
    bool ShadeSwept(Call& call);
    bool ColourShaded(Call& call);
    Span SpanOf(const Call& call, int fromLine, int toLine) const;
    // TerrainLightingSweep.cpp
    static float SlotCell(const Grid& grid, const Light& light);
    void ClearHorizon();
    void Sweep(const Grid& grid, const Light& light, int sweeper, int sweepers, Call& call);
    void PlaceLine(const Grid& grid, int lineStart, int stepDelta, int from, int to, int length, bool rowLine,
                   const LineGeometry& line, int worker);
    void SweepLine(float* shadowOut, float* horizonBuffer, int shadowStep, int from, int to);
    // TerrainLightingShading.cpp
    void Shade(const Grid& grid, const Light& light, const Span& span);
    void Colour(const Grid& grid, int smoothing, const Span& span);

    // Two horizon buffers, used alternately (current / next). Each holds, for every slot, the
    // horizon height and beside it the horizon drop: how far the horizon lies above the ground
    // point that set it. Slots [SlotLo, SlotHi) are live; the two slots beyond each end stay 0.0
    // for the smoothing kernel to read.
    std::vector<float> Horizon[2];
    // Per vertex, its shadow factor, row by row, each row ShadowStride floats from the last: a
    // little more than a row, so that a sweep down the columns does not find all its rows in the
    // same few cache sets.
    LargeVector<float> ShadowLevel;
    int ShadowStride = 0;
    LargeVector<float> LightLevel;   // per vertex: blurred shadow times diffuse; border stays 0.0
    LargeVector<float> DisplayLevel; // per vertex: shown brightness, carried between calls
    LargeVector<std::uint8_t> Grey;  // per vertex: the shown brightness as a grey level
    // Per vertex of the line being swept: where its horizon slot's values start in a horizon buffer
    // (-1: it has none), the weights of that slot and the next side by side, ray height, ground
    // height. Each worker places a share of the line and notes the lowest and highest horizon
    // position of its share.
    std::vector<int> LineSlot;
    std::vector<float> LineWeights, LineRay, LineGround;
    std::vector<float> ShareLowest, ShareHighest; // per sweeper
    std::vector<float> Facing;                    // a row's diffuse dot products
    int FittedWidth = 0;
    int FittedHeight = 0;
    int SlotLo = 0;
    int SlotHi = 0;
    float CentreSlot = 0.0f;
    // Slots that may hold non-zero values in either buffer; every other slot is 0.0, and zero
    // stays zero under the smoothing, so nothing outside this range needs touching.
    int DirtyLo = 0;
    int DirtyHi = 0;
    int WantedThreads = 0;
    std::unique_ptr<LightingPool> Pool; // null until a grid needs it
};
