#include "heightmap/ElevationRaster.h"

#include "heightmap/ElevationRequest.h"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <array>
#include <cmath>
#include <cstring>

#include <sys/stat.h>

namespace {
constexpr double DegreeRadians = 0.017453292519943295;
constexpr double MetresPerDegreeEastWest = 111320.0; // at the equator
constexpr double MetresPerDegreeNorthSouth = 110574.0;
// Pixels whose sides differ more than this are a broken georeference, not a map.
constexpr double MostPixelStretch = 1000.0;

// Drivers that would fetch data over a network: nothing is downloaded at run time.
constexpr std::array NetworkDrivers = {"WMS",    "WMTS",     "WCS", "HTTP",   "EEDA",   "EEDAI",   "DAAS",
                                       "OGCAPI", "PLMOSAIC", "NGW", "STACIT", "STACTA", "PLScenes"};

void SetUpGdal() {
    static const bool ready = [] {
        GDALAllRegister();
        for (const char* name : NetworkDrivers)
            if (GDALDriverH driver = GDALGetDriverByName(name); driver != nullptr) {
                GDALDeregisterDriver(driver);
                GDALDestroyDriver(driver);
            }
        // The block cache would otherwise grow to a share of the machine's memory on a large raster.
        GDALSetCacheMax64(std::int64_t{64} << 20);
        return true;
    }();
    (void)ready;
}

// GDAL's complaints go into the reason given, not onto standard error.
class QuietErrors {
public:
    QuietErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietErrors() { CPLPopErrorHandler(); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

    static std::string With(const std::string& why) {
        const char* message = CPLGetLastErrorMsg();
        return message != nullptr && message[0] != '\0' ? why + " (" + message + ")" : why;
    }
};

// Geographic coordinates of pixel centre (column, row).
std::array<double, 2> CentreOf(const double* transform, double column, double row) {
    return {transform[0] + (column + 0.5) * transform[1] + (row + 0.5) * transform[2],
            transform[3] + (column + 0.5) * transform[4] + (row + 0.5) * transform[5]};
}

bool PixelCentresInDegrees(const double* transform, int columns, int rows) {
    for (const double column : {0.0, columns - 1.0})
        for (const double row : {0.0, rows - 1.0}) {
            const auto [x, y] = CentreOf(transform, column, row);
            if (!(x >= -180.0 - 1e-6 && x <= 360.0 + 1e-6 && y >= -90.0 - 1e-6 && y <= 90.0 + 1e-6))
                return false;
        }
    return true;
}

bool Usable(const PixelSize& size) {
    const double stretch = size.EastWest / size.NorthSouth;
    return std::isfinite(size.EastWest) && std::isfinite(size.NorthSouth) && size.EastWest > 0.0 &&
           size.NorthSouth > 0.0 && stretch <= MostPixelStretch && stretch >= 1.0 / MostPixelStretch;
}
} // namespace

std::unique_ptr<ElevationRaster> ElevationRaster::Open(const std::string& path, std::string& why) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0) {
        why = std::strerror(errno);
        return nullptr;
    }
    // Only regular files: a pipe or device could block the read for good.
    if (S_ISDIR(status.st_mode)) {
        why = "a folder, not a raster file";
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        why = "not a regular file";
        return nullptr;
    }
    SetUpGdal();
    const QuietErrors quiet;
    GDALDatasetH dataset =
        GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (dataset == nullptr) {
        why = QuietErrors::With("not a raster that can be read");
        return nullptr;
    }
    if (GDALGetRasterCount(dataset) < 1) {
        GDALClose(dataset);
        why = "a file without raster data";
        return nullptr;
    }
    return std::make_unique<ElevationRaster>(dataset);
}

ElevationRaster::ElevationRaster(GDALDatasetH dataset) : Dataset(dataset) {
    int hasNoData = 0;
    const double noData = GDALGetRasterNoDataValue(GDALGetRasterBand(Dataset, 1), &hasNoData);
    // Samples arrive as floats, the nodata value with them.
    HasNoData = hasNoData != 0 && std::isfinite(noData) && std::fabs(noData) <= 3.0e38;
    NoData = HasNoData ? static_cast<float>(noData) : 0.0f;
}

ElevationRaster::~ElevationRaster() {
    GDALClose(Dataset);
}

int ElevationRaster::Columns() const {
    return GDALGetRasterXSize(Dataset);
}

int ElevationRaster::Rows() const {
    return GDALGetRasterYSize(Dataset);
}

PixelSize ElevationRaster::MetresPerPixel(const ElevationRequest& request) const {
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
        const auto centre = CentreOf(transform, request.CropX + request.CropWidth / 2.0 - 0.5,
                                     request.CropY + request.CropHeight / 2.0 - 0.5);
        const double latitude = centre[1] * degreesPerUnit;
        size.EastWest *= degreesPerUnit * MetresPerDegreeEastWest * std::cos(latitude * DegreeRadians);
        size.NorthSouth *= degreesPerUnit * MetresPerDegreeNorthSouth;
    }
    return Usable(size) ? size : PixelSize{};
}

bool ElevationRaster::Read(const ElevationRequest& request, std::vector<float>& samples,
                           std::string& why) const {
    samples.assign(static_cast<std::size_t>(request.Width) * static_cast<std::size_t>(request.Height), 0.0f);
    GDALRasterIOExtraArg resampling;
    INIT_RASTERIO_EXTRA_ARG(resampling);
    // Averaging never skips a cell; enlarging interpolates so that cells do not show as steps.
    const bool reducing = request.Width < request.CropWidth || request.Height < request.CropHeight;
    resampling.eResampleAlg = reducing ? GRIORA_Average : GRIORA_Cubic;
    const QuietErrors quiet;
    const CPLErr result = GDALRasterIOEx(GDALGetRasterBand(Dataset, 1), GF_Read, request.CropX, request.CropY,
                                         request.CropWidth, request.CropHeight, samples.data(), request.Width,
                                         request.Height, GDT_Float32, 0, 0, &resampling);
    if (result != CE_None) {
        why = QuietErrors::With("the raster could not be read");
        return false;
    }
    return true;
}

bool ElevationRaster::Missing(float value) const {
    return !(std::fabs(value) < MissingBeyond) || (HasNoData && value == NoData);
}
