#pragma once

#include <vector>

// A block of raster cells: its north-west cell and its size.
struct CellWindow {
    int X = 0, Y = 0;
    int Width = 0, Height = 0;
};

// How a raster's rows and columns lie on the map, from its geotransform's signs: GDAL's usual
// layout has the first row north and the first column west; a positive row step puts the first row
// south (common in netCDF and XYZ output), a negative column step the first column east. Windows
// and samples are told north-up here and turned to and from the raster's own order.
struct RasterOrientation {
    bool FirstRowSouth = false;
    bool FirstColumnEast = false;

    // From a geotransform without rotation terms; north-up when there is none.
    static RasterOrientation Of(const double* transform);
    // True when a transform's rotation terms turn rows or columns off the map's axes.
    static bool Rotated(const double* transform);

    // The cells of the raster (columns x rows) that the north-up window covers.
    CellWindow InRaster(const CellWindow& northUp, int columns, int rows) const;
    // Samples read in the raster's order (width x height, row by row) put north row first, west first.
    void TurnNorthUp(std::vector<float>& samples, int width, int height) const;
};
