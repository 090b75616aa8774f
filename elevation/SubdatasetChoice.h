#pragma once

#include <string>

using GDALDatasetH = void*; // as gdal.h declares it

// A file of several rasters (a netCDF with several variables) opens as a dataset without bands that
// lists them as subdatasets. The loader takes the first whose variable is named as an elevation is
// (elevation, height, topography, z, ...), or none, naming the choices.
class SubdatasetChoice {
public:
    // The chosen subdataset's name, to open instead; empty with the reason in why.
    static std::string Of(GDALDatasetH dataset, std::string& why);
};
