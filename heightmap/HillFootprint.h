#pragma once

#include <cstdint>

// Columns First..Last of one row; empty when First > Last.
struct ColumnSpan {
    std::int32_t First = 0;
    std::int32_t Last = -1;
};

// The cells of a grid that a hill can change: every cell strictly within its radius, plus a thin
// margin so that float rounding in the hill's own distance test can never reach a cell outside.
// Centres and radii that change no cell (NaN, infinite centre, zero radius) give no cells.
class HillFootprint {
public:
    HillFootprint(std::int32_t width, std::int32_t height, float centreX, float centreY, float radius);

    std::int32_t FirstRow = 0;
    std::int32_t LastRow = -1; // no rows when FirstRow > LastRow

    ColumnSpan Columns(std::int32_t row) const;

    // Most cells that one hill of radius at most |radius| can visit on a width x height grid.
    static double MostCells(std::int32_t width, std::int32_t height, double radius);

private:
    double CentreX = 0.0;
    double CentreY = 0.0;
    double Reach = 0.0;
    std::int32_t Width = 0;
};
