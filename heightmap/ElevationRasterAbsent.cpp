// The elevation raster of a build without an elevation-file reader (GDAL): no file ever opens, so
// a script's heightmap_file leaves the terrain generated, and the log says why in one line.

#include "heightmap/ElevationRaster.h"

#include "heightmap/ElevationRequest.h"

std::unique_ptr<ElevationRaster> ElevationRaster::Open(const std::string& /*path*/, std::string& why) {
    why = "this build reads no elevation files";
    return nullptr;
}

ElevationRaster::ElevationRaster(GDALDatasetH dataset) : Dataset(dataset) {}

ElevationRaster::~ElevationRaster() = default;

int ElevationRaster::Columns() const {
    return 0;
}

int ElevationRaster::Rows() const {
    return 0;
}

PixelSize ElevationRaster::MetresPerPixel(const ElevationRequest& /*request*/) const {
    return {};
}

bool ElevationRaster::Read(const ElevationRequest& /*request*/, std::vector<float>& samples,
                           std::string& why) const {
    samples.clear();
    why = "this build reads no elevation files";
    return false;
}

bool ElevationRaster::Missing(float /*value*/) const {
    return true;
}
