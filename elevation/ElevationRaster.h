#pragma once

#include "elevation/RasterOrientation.h"

#include <memory>
#include <string>
#include <vector>

struct ElevationRequest;
using GDALDatasetH = void*; // as gdal.h declares it

// The metres one raster pixel spans, east-west and north-south; 1 x 1 without usable georeferencing.
struct PixelSize {
    double EastWest = 1.0;
    double NorthSouth = 1.0;
    bool Georeferenced = false;
};

// One elevation raster read through GDAL, seen north up whatever its geotransform: its first band,
// read only as much as the grid asks for. Columns, rows and windows count from the north-west.
class ElevationRaster {
public:
    enum class Resampling { Average, Cubic };

    // The raster that path names (a file, or a variable in GDAL's subdataset syntax), or null
    // with the reason in why.
    static std::unique_ptr<ElevationRaster> Open(const std::string& path, std::string& why);
    // Takes an open dataset (with at least one band) over, e.g. one made in memory; a rotated one
    // is warped north up. Null with the reason in why (the dataset then closed).
    static std::unique_ptr<ElevationRaster> Over(GDALDatasetH dataset, std::string& why);
    ~ElevationRaster();
    ElevationRaster(const ElevationRaster&) = delete;
    ElevationRaster& operator=(const ElevationRaster&) = delete;

    int Columns() const;
    int Rows() const;
    // The subdataset taken from a file of several rasters; empty when the path named one raster.
    const std::string& Subdataset() const { return Chosen; }

    // A pixel's size at the centre of the request's crop. Degrees (a geographic coordinate system,
    // or none with pixel centres whose longitudes lie within -360 .. 720 and span at most 360, and
    // whose latitudes lie within -90 .. 90) become metres there: 111,320 m x cos(latitude) east-west, 110,574
    // m north-south per degree.
    PixelSize MetresPerPixel(const ElevationRequest& request) const;

    // The window as width x height samples, row by row from its north-west corner: resampled as
    // asked when the sizes differ, the cells themselves when they do not. False with the reason in
    // why when GDAL cannot read it.
    bool Read(const CellWindow& window, int width, int height, Resampling resampling,
              std::vector<float>& samples, std::string& why) const;

    // Cells without data read as the band's nodata value, NaN or an infinity; beyond ±MissingBeyond
    // metres a value is a flag, not a height.
    bool Missing(float value) const;
    static constexpr float MissingBeyond = 1.0e7f;

private:
    ElevationRaster(GDALDatasetH dataset, GDALDatasetH source);

    GDALDatasetH Dataset = nullptr;
    GDALDatasetH Source = nullptr; // what a warped Dataset reads from; null when not warped
    std::string Chosen;
    RasterOrientation Orientation;
    bool HasNoData = false;
    float NoData = 0.0f;
};
