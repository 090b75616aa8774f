#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ElevationRaster;
struct ElevationRequest;

// The request's crop as Width x Height heights, row by row from the north-west, with no cell
// missing and no height outside the valid cells' range.
struct GridSamples {
    std::vector<float> Heights;
    double Lowest = 0.0, Highest = 0.0; // of the heights
    std::int64_t Filled = 0;            // cells without data that were filled
};

// Reducing averages the valid cells under each sample (GDAL's averaging leaves nodata out), then
// fills samples with none. Enlarging fills the missing cells first, at the raster's own resolution
// over the crop and the margin the cubic kernel reaches, so that no nodata value is mixed into a
// neighbour; the cubic's overshoot is then clamped to the valid range. Memory stays bounded by the
// grid: a crop is read whole only when it has no more cells than the grid.
class GridSampling {
public:
    // False with the reason in why when nothing can be read, or every cell is missing.
    static bool Sample(const ElevationRaster& raster, const ElevationRequest& request, GridSamples& samples,
                       std::string& why);
};
