#pragma once

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

// One elevation raster read through GDAL: its first band, read only as much as the grid asks for.
class ElevationRaster {
public:
    // The raster in the regular file at path, or null with the reason in why.
    static std::unique_ptr<ElevationRaster> Open(const std::string& path, std::string& why);
    // Takes an open dataset (with at least one band) over, e.g. one made in memory.
    explicit ElevationRaster(GDALDatasetH dataset);
    ~ElevationRaster();
    ElevationRaster(const ElevationRaster&) = delete;
    ElevationRaster& operator=(const ElevationRaster&) = delete;

    int Columns() const;
    int Rows() const;

    // A pixel's size at the centre of the request's crop. Degrees (a geographic coordinate system,
    // or none with every pixel centre within longitude -180 .. 360 and latitude -90 .. 90) become
    // metres there: 111,320 m x cos(latitude) east-west, 110,574 m north-south per degree.
    PixelSize MetresPerPixel(const ElevationRequest& request) const;

    // The request's crop as Width x Height samples, row by row from the north-west corner:
    // averaged over the cells when reducing, interpolated when enlarging. False with the reason
    // in why when GDAL cannot read it.
    bool Read(const ElevationRequest& request, std::vector<float>& samples, std::string& why) const;

    // Cells without data read as the band's nodata value, NaN or an infinity; beyond ±MissingBeyond
    // metres a value is a flag, not a height.
    bool Missing(float value) const;
    static constexpr float MissingBeyond = 1.0e7f;

private:
    GDALDatasetH Dataset = nullptr;
    bool HasNoData = false;
    float NoData = 0.0f;
};
