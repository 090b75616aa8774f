#pragma once

#include <string>

using GDALDatasetH = void*; // as gdal.h declares it

// A raster whose geotransform rotates its rows off the map's axes, warped by GDAL's warper into a
// north-up one of about the same resolution. The warp is lazy (a virtual dataset over the source,
// read as it is asked), so memory stays bounded by what is read; cells outside the rotated source
// come out missing (NaN). Nearest-neighbour: the warp invents no height. A transform that would
// make far more cells than the source has is refused.
class NorthUpWarp {
public:
    // The warped dataset, which reads from source (to be closed after it); null with the reason in why.
    static GDALDatasetH Over(GDALDatasetH source, std::string& why);
};
