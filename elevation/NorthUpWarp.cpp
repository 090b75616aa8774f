#include "elevation/NorthUpWarp.h"

#include "elevation/QuietGdal.h"

#include <gdal_utils.h>

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
    return warped;
}
