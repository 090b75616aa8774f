#pragma once

#include "lighting/SurfacePoint.h"

// What the lighting reads of a terrain: Width x Height vertices numbered n = row * Width + column;
// rows are lines of constant world x, columns lines of constant world z.
struct TerrainLightingGrid {
    const SurfacePoint* Points = nullptr; // Width * Height of them
    const float* RowHeights = nullptr;    // the height of each vertex, numbered as the points
    const float* RowX = nullptr;          // world x of each row
    const float* ColumnZ = nullptr;       // world z of each column
    int Width = 0;                        // columns
    int Height = 0;                       // rows
    float ExtentX = 1000.0f;              // world size along x, centred on 0
    float ExtentZ = 1000.0f;              // world size along z, centred on 0
    // The heights again, column by column (n = column * Height + row), for sweeps along columns.
    const float* ColumnHeights = nullptr;
};

// Vertices whose grey levels are final: rows [FirstRow, EndRow) x columns [FirstColumn, EndColumn).
struct LitSpan {
    int FirstRow = 0, EndRow = 0, FirstColumn = 0, EndColumn = 0;
    bool Empty() const { return FirstRow >= EndRow || FirstColumn >= EndColumn; }
};

// Told on the thread that called the lighting's Update, once for each of a series of spans that
// together hold every interior vertex once, each as soon as its grey levels are final.
class LitSpans {
public:
    virtual void Lit(const LitSpan& span) = 0;

protected:
    ~LitSpans() = default;
};
