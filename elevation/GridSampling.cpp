#include "elevation/GridSampling.h"

#include "elevation/ElevationRaster.h"
#include "elevation/MissingCellFill.h"
#include "elevation/QuietGdal.h"
#include "heightmap/ElevationRequest.h"

#include <gdal.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// Cells a cubic kernel reaches beyond the sample it makes.
constexpr int CubicReach = 2;

std::vector<std::uint8_t> MissingOf(const ElevationRaster& raster, const std::vector<float>& cells) {
    std::vector<std::uint8_t> missing(cells.size());
    std::transform(cells.begin(), cells.end(), missing.begin(),
                   [&](float cell) { return raster.Missing(cell) ? 1 : 0; });
    return missing;
}

// Lowest and highest valid cell within the inner window of a width-wide block; false when none is.
bool ValidRange(const std::vector<float>& cells, const std::vector<std::uint8_t>& missing, int width,
                const CellWindow& inner, GridSamples& samples, std::int64_t& missingInside) {
    double lowest = INFINITY, highest = -INFINITY;
    missingInside = 0;
    for (int y = inner.Y; y < inner.Y + inner.Height; ++y)
        for (int x = inner.X; x < inner.X + inner.Width; ++x) {
            const std::size_t at =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            if (missing[at] != 0) {
                ++missingInside;
                continue;
            }
            lowest = std::min<double>(lowest, cells[at]);
            highest = std::max<double>(highest, cells[at]);
        }
    samples.Lowest = lowest, samples.Highest = highest;
    return lowest <= highest;
}

bool Reduced(const ElevationRaster& raster, const ElevationRequest& request, GridSamples& samples,
             std::string& why) {
    const CellWindow crop{request.CropX, request.CropY, request.CropWidth, request.CropHeight};
    if (!raster.Read(crop, request.Width, request.Height, ElevationRaster::Resampling::Average,
                     samples.Heights, why))
        return false;
    std::vector<std::uint8_t> missing = MissingOf(raster, samples.Heights);
    if (!ValidRange(samples.Heights, missing, request.Width, {0, 0, request.Width, request.Height}, samples,
                    samples.Filled)) {
        why = "every cell is missing";
        return false;
    }
    // A raster without gaps (most are) skips the fill's pass over every cell.
    if (samples.Filled > 0)
        MissingCellFill::Fill(samples.Heights, missing, request.Width, request.Height);
    return true;
}

// The filled cells (width x height) resampled: inner's cells as the request's grid.
bool Enlarged(const std::vector<float>& cells, int width, int height, const CellWindow& inner,
              const ElevationRequest& request, std::vector<float>& heights, std::string& why) {
    const QuietGdal quiet;
    // The cells lent to an in-memory dataset, not copied (they may be 4096 x 4096).
    GDALDatasetH memory = GDALCreate(GDALGetDriverByName("MEM"), "", width, height, 0, GDT_Float32, nullptr);
    char pointer[64] = {};
    std::snprintf(pointer, sizeof pointer, "DATAPOINTER=%p", static_cast<const void*>(cells.data()));
    const char* options[] = {pointer, nullptr};
    if (memory == nullptr || GDALAddBand(memory, GDT_Float32, const_cast<char**>(options)) != CE_None) {
        why = QuietGdal::With("the raster's cells could not be resampled");
        if (memory != nullptr)
            GDALClose(memory);
        return false;
    }
    GDALRasterBandH band = GDALGetRasterBand(memory, 1);
    CPLErr result = CE_None;
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = GRIORA_Cubic;
    heights.assign(static_cast<std::size_t>(request.Width) * static_cast<std::size_t>(request.Height), 0.0f);
    if (result == CE_None)
        result = GDALRasterIOEx(band, GF_Read, inner.X, inner.Y, inner.Width, inner.Height, heights.data(),
                                request.Width, request.Height, GDT_Float32, 0, 0, &extra);
    GDALClose(memory);
    if (result != CE_None)
        why = QuietGdal::With("the raster could not be resampled");
    return result == CE_None;
}

bool FilledThenEnlarged(const ElevationRaster& raster, const ElevationRequest& request, GridSamples& samples,
                        std::string& why) {
    const int left = std::max(0, request.CropX - CubicReach), top = std::max(0, request.CropY - CubicReach);
    const int right = std::min(raster.Columns(), request.CropX + request.CropWidth + CubicReach);
    const int bottom = std::min(raster.Rows(), request.CropY + request.CropHeight + CubicReach);
    const CellWindow window{left, top, right - left, bottom - top};
    std::vector<float> cells;
    if (!raster.Read(window, window.Width, window.Height, ElevationRaster::Resampling::Cubic, cells, why))
        return false;
    std::vector<std::uint8_t> missing = MissingOf(raster, cells);
    const CellWindow inner{request.CropX - left, request.CropY - top, request.CropWidth, request.CropHeight};
    if (!ValidRange(cells, missing, window.Width, inner, samples, samples.Filled)) {
        why = "every cell is missing";
        return false;
    }
    if (std::find(missing.begin(), missing.end(), 1) != missing.end())
        MissingCellFill::Fill(cells, missing, window.Width, window.Height);
    if (!Enlarged(cells, window.Width, window.Height, inner, request, samples.Heights, why))
        return false;
    // Cubic interpolation overshoots next to steep steps.
    for (float& height : samples.Heights)
        height = static_cast<float>(std::clamp<double>(height, samples.Lowest, samples.Highest));
    const auto [lowest, highest] = std::minmax_element(samples.Heights.begin(), samples.Heights.end());
    samples.Lowest = *lowest, samples.Highest = *highest;
    return true;
}
} // namespace

bool GridSampling::Sample(const ElevationRaster& raster, const ElevationRequest& request,
                          GridSamples& samples, std::string& why) {
    const bool reducing = request.Width < request.CropWidth || request.Height < request.CropHeight;
    return reducing ? Reduced(raster, request, samples, why)
                    : FilledThenEnlarged(raster, request, samples, why);
}
