#pragma once

#include <string>

using GDALDatasetH = void*; // as gdal.h declares it

// What the loader lets GDAL open: local regular files in the formats it names, and files that
// refer to other files (a VRT's sources, a netCDF variable named in GDAL's subdataset syntax
// NETCDF:"file.nc":variable) only when each of those is such a file too. Nothing is downloaded,
// and no pipe or device is read (either could block the read for good).
class RasterFileCheck {
public:
    // GDAL's short names of the formats read, null-terminated, for GDALOpenEx.
    static const char* const* AllowedDrivers();

    // The file a name stands for: the name itself, or the file inside the subdataset syntax.
    static std::string FileOf(const std::string& name);

    // Before GDAL opens name: true when it and every file it refers to may be read; otherwise
    // false with the reason in why.
    static bool Acceptable(const std::string& name, std::string& why);

    // After: true when every file the open dataset reads (GDALGetFileList) is a local regular file.
    static bool FilesLocal(GDALDatasetH dataset, std::string& why);
};
