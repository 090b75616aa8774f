#include "elevation/NorthUpWarp.h"

#include "elevation/QuietGdal.h"

#include <gdal_utils.h>

#include <string>

GDALDatasetH NorthUpWarp::Over(GDALDatasetH source, std::string& why) {
    const QuietGdal quiet;
    // Exact transforms (-et 0): the warper's approximation would shift cells along the edges.
    const char* arguments[] = {"-of", "VRT",  "-ot", "Float32", "-dstnodata", "nan",
                               "-r",  "near", "-et", "0",       nullptr};
    GDALWarpAppOptions* options = GDALWarpAppOptionsNew(const_cast<char**>(arguments), nullptr);
    if (options == nullptr) {
        why = QuietGdal::With("the rotated raster could not be turned north up");
        return nullptr;
    }
    int failed = 0;
    GDALDatasetH warped = GDALWarp("", nullptr, 1, &source, options, &failed);
    GDALWarpAppOptionsFree(options);
    if (warped == nullptr || failed != 0) {
        why = QuietGdal::With("the rotated raster could not be turned north up");
        if (warped != nullptr)
            GDALClose(warped);
        return nullptr;
    }
    // Turned north up, a raster's bounding box holds at most twice its cells (at 45 degrees); a
    // transform that makes far more is broken, and reading it would take for ever.
    const double cells = static_cast<double>(GDALGetRasterXSize(source)) * GDALGetRasterYSize(source);
    const int columns = GDALGetRasterXSize(warped), rows = GDALGetRasterYSize(warped);
    if (static_cast<double>(columns) * rows > 4.0 * cells + 64.0) {
        GDALClose(warped);
        why = "the rotated raster would turn into " + std::to_string(columns) + " x " + std::to_string(rows) +
              " cells north up";
        return nullptr;
    }
    return warped;
}
