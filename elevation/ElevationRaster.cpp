#include "elevation/ElevationRaster.h"

#include "elevation/NorthUpWarp.h"
#include "elevation/QuietGdal.h"
#include "elevation/RasterFileCheck.h"
#include "elevation/SubdatasetChoice.h"
#include "heightmap/ElevationRequest.h"

#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr double DegreeRadians = 0.017453292519943295;
constexpr double MetresPerDegreeEastWest = 111320.0; // at the equator
constexpr double MetresPerDegreeNorthSouth = 110574.0;
// Pixels whose sides differ more than this are a broken georeference, not a map.
constexpr double MostPixelStretch = 1000.0;

// Registers GDAL's drivers once; opening with an allow-list, not deregistering, keeps the rest of
// the process's GDAL as it was.
void RegisterDrivers() {
    [[maybe_unused]] static const bool registered = (GDALAllRegister(), true);
}

// Geographic coordinates of pixel centre (column, row).
std::array<double, 2> CentreOf(const double* transform, double column, double row) {
    return {transform[0] + (column + 0.5) * transform[1] + (row + 0.5) * transform[2],
            transform[3] + (column + 0.5) * transform[4] + (row + 0.5) * transform[5]};
}

// A global grid may start wherever a longitude can (-180 .. 180, 0 .. 360 and 20 .. 380 are all
// met), but spans at most once round.
bool PixelCentresInDegrees(const double* transform, int columns, int rows) {
    double west = INFINITY, east = -INFINITY;
    for (const double column : {0.0, columns - 1.0})
        for (const double row : {0.0, rows - 1.0}) {
            const auto [x, y] = CentreOf(transform, column, row);
            if (!(x >= -360.0 && x <= 720.0 && y >= -90.0 - 1e-6 && y <= 90.0 + 1e-6))
                return false;
            west = std::min(west, x), east = std::max(east, x);
        }
    return east - west <= 360.0 + 1e-6;
}

bool Usable(const PixelSize& size) {
    const double stretch = size.EastWest / size.NorthSouth;
    return std::isfinite(size.EastWest) && std::isfinite(size.NorthSouth) && size.EastWest > 0.0 &&
           size.NorthSouth > 0.0 && stretch <= MostPixelStretch && stretch >= 1.0 / MostPixelStretch;
}

// name opened with the allowed drivers once it and what it refers to pass the checks.
GDALDatasetH OpenChecked(const std::string& name, std::string& why) {
    if (!RasterFileCheck::Acceptable(name, why))
        return nullptr;
    const QuietGdal quiet;
    GDALDatasetH dataset = GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY,
                                      RasterFileCheck::AllowedDrivers(), nullptr, nullptr);
    if (dataset == nullptr) {
        why = QuietGdal::With("not a raster that can be read");
        return nullptr;
    }
    if (!RasterFileCheck::FilesLocal(dataset, why)) {
        GDALClose(dataset);
        return nullptr;
    }
    return dataset;
}
} // namespace

std::unique_ptr<ElevationRaster> ElevationRaster::Open(const std::string& path, std::string& why) {
    RegisterDrivers();
    GDALDatasetH dataset = OpenChecked(path, why);
    if (dataset == nullptr)
        return nullptr;
    std::string chosen;
    if (const QuietGdal quiet; GDALGetRasterCount(dataset) < 1) {
        chosen = SubdatasetChoice::Of(dataset, why);
        GDALClose(dataset);
        dataset = chosen.empty() ? nullptr : OpenChecked(chosen, why);
        if (dataset == nullptr)
            return nullptr;
        if (GDALGetRasterCount(dataset) < 1) {
            GDALClose(dataset);
            why = "a file without raster data";
            return nullptr;
        }
    }
    std::unique_ptr<ElevationRaster> raster = Over(dataset, why);
    if (raster != nullptr)
        raster->Chosen = chosen;
    return raster;
}

std::unique_ptr<ElevationRaster> ElevationRaster::Over(GDALDatasetH dataset, std::string& why) {
    RegisterDrivers();
    double transform[6] = {};
    const bool transformed = [&] {
        const QuietGdal quiet;
        return GDALGetGeoTransform(dataset, transform) == CE_None;
    }();
    if (!transformed || !RasterOrientation::Rotated(transform))
        return std::unique_ptr<ElevationRaster>(new ElevationRaster(dataset, nullptr));
    GDALDatasetH warped = NorthUpWarp::Over(dataset, why);
    if (warped == nullptr) {
        const QuietGdal quiet;
        GDALClose(dataset);
        return nullptr;
    }
    return std::unique_ptr<ElevationRaster>(new ElevationRaster(warped, dataset));
}

ElevationRaster::ElevationRaster(GDALDatasetH dataset, GDALDatasetH source)
    : Dataset(dataset), Source(source) {
    const QuietGdal quiet;
    double transform[6] = {};
    if (GDALGetGeoTransform(Dataset, transform) == CE_None)
        Orientation = RasterOrientation::Of(transform);
    int hasNoData = 0;
    const double noData = GDALGetRasterNoDataValue(GDALGetRasterBand(Dataset, 1), &hasNoData);
    // Samples arrive as floats, the nodata value with them.
    HasNoData = hasNoData != 0 && std::isfinite(noData) && std::fabs(noData) <= 3.0e38;
    NoData = HasNoData ? static_cast<float>(noData) : 0.0f;
}

ElevationRaster::~ElevationRaster() {
    const QuietGdal quiet;
    GDALClose(Dataset);
    if (Source != nullptr)
        GDALClose(Source);
}

int ElevationRaster::Columns() const {
    return GDALGetRasterXSize(Dataset);
}

int ElevationRaster::Rows() const {
    return GDALGetRasterYSize(Dataset);
}

PixelSize ElevationRaster::MetresPerPixel(const ElevationRequest& request) const {
    const QuietGdal quiet;
    double transform[6] = {};
    if (GDALGetGeoTransform(Dataset, transform) != CE_None)
        return {};
    PixelSize size{std::hypot(transform[1], transform[4]), std::hypot(transform[2], transform[5]), true};
    OGRSpatialReferenceH system = GDALGetSpatialRef(Dataset);
    double degreesPerUnit = 1.0;
    bool degrees = false;
    if (system != nullptr && OSRIsGeographic(system)) {
        degrees = true;
        degreesPerUnit = OSRGetAngularUnits(system, nullptr) / DegreeRadians;
    } else if (system != nullptr) {
        const double metresPerUnit = OSRGetLinearUnits(system, nullptr);
        size.EastWest *= metresPerUnit;
        size.NorthSouth *= metresPerUnit;
    } else {
        degrees = PixelCentresInDegrees(transform, Columns(), Rows());
    }
    if (degrees) {
        const CellWindow crop = Orientation.InRaster(
            {request.CropX, request.CropY, request.CropWidth, request.CropHeight}, Columns(), Rows());
        const auto centre =
            CentreOf(transform, crop.X + crop.Width / 2.0 - 0.5, crop.Y + crop.Height / 2.0 - 0.5);
        const double latitude = centre[1] * degreesPerUnit;
        size.EastWest *= degreesPerUnit * MetresPerDegreeEastWest * std::cos(latitude * DegreeRadians);
        size.NorthSouth *= degreesPerUnit * MetresPerDegreeNorthSouth;
    }
    return Usable(size) ? size : PixelSize{};
}

bool ElevationRaster::Read(const CellWindow& window, int width, int height, Resampling resampling,
                           std::vector<float>& samples, std::string& why) const {
    samples.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f);
    const CellWindow cells = Orientation.InRaster(window, Columns(), Rows());
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = resampling == Resampling::Average ? GRIORA_Average : GRIORA_Cubic;
    const QuietGdal quiet;
    const CPLErr result =
        GDALRasterIOEx(GDALGetRasterBand(Dataset, 1), GF_Read, cells.X, cells.Y, cells.Width, cells.Height,
                       samples.data(), width, height, GDT_Float32, 0, 0, &extra);
    if (result != CE_None) {
        why = QuietGdal::With("the raster could not be read");
        return false;
    }
    Orientation.TurnNorthUp(samples, width, height);
    return true;
}

bool ElevationRaster::Missing(float value) const {
    return !(std::fabs(value) < MissingBeyond) || (HasNoData && value == NoData);
}
