#include "heightmap/ElevationRequest.h"

#include "heightmap/GridLimits.h"
#include "heightmap/HeightmapFile.h"
#include "heightmap/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace {
std::int32_t SideWithin(double samples) {
    const double rounded = std::round(samples);
    return static_cast<std::int32_t>(
        std::clamp(rounded, double{GridLimits::SideMin}, double{GridLimits::SideMax}));
}
} // namespace

ElevationRequest ElevationRequest::For(const HeightmapFile& file, std::int32_t rasterColumns,
                                       std::int32_t rasterRows) {
    ElevationRequest request;
    if (rasterColumns < 2 || rasterRows < 2) {
        request.Failure =
            TextFormat("the raster has %d x %d cells, at least 2 x 2 are needed", rasterColumns, rasterRows);
        return request;
    }
    if (!request.Crop(file, rasterColumns, rasterRows))
        return request;
    request.Size(file);
    request.Scale(file);
    return request;
}

bool ElevationRequest::Crop(const HeightmapFile& file, std::int32_t rasterColumns, std::int32_t rasterRows) {
    // A width or height of 0 (or, taken as 0, a negative one) reaches the raster's far edge.
    const std::int64_t left = file.CropX, top = file.CropY;
    const std::int64_t right = file.CropWidth > 0 ? left + file.CropWidth : rasterColumns;
    const std::int64_t bottom = file.CropHeight > 0 ? top + file.CropHeight : rasterRows;
    const std::int64_t firstColumn = std::max<std::int64_t>(left, 0),
                       endColumn = std::min<std::int64_t>(right, rasterColumns);
    const std::int64_t firstRow = std::max<std::int64_t>(top, 0),
                       endRow = std::min<std::int64_t>(bottom, rasterRows);
    if (firstColumn >= endColumn || firstRow >= endRow) {
        Failure = TextFormat("the crop from (%d, %d) of %d x %d lies outside the %d x %d raster", file.CropX,
                             file.CropY, file.CropWidth, file.CropHeight, rasterColumns, rasterRows);
        return false;
    }
    CropX = static_cast<std::int32_t>(firstColumn);
    CropY = static_cast<std::int32_t>(firstRow);
    CropWidth = static_cast<std::int32_t>(endColumn - firstColumn);
    CropHeight = static_cast<std::int32_t>(endRow - firstRow);
    const bool asked = left == CropX && top == CropY &&
                       (file.CropWidth == 0 || file.CropWidth == CropWidth) &&
                       (file.CropHeight == 0 || file.CropHeight == CropHeight);
    if (!asked)
        Notes.push_back(TextFormat(
            "-> Crop from (%d, %d) of %d x %d requested, from (%d, %d) of %d x %d used", file.CropX,
            file.CropY, file.CropWidth, file.CropHeight, CropX, CropY, CropWidth, CropHeight));
    if (CropWidth < 2 || CropHeight < 2) {
        Failure =
            TextFormat("the crop keeps %d x %d cells, at least 2 x 2 are needed", CropWidth, CropHeight);
        return false;
    }
    return true;
}

void ElevationRequest::Size(const HeightmapFile& file) {
    // 0 follows the crop's proportions: from the other side when that is given, else the crop's
    // own size reduced to fit.
    const double across = CropWidth, down = CropHeight;
    const double wanted = std::max(file.Width, 0), wantedDown = std::max(file.Height, 0);
    double width = wanted, height = wantedDown;
    if (width == 0.0 && height == 0.0) {
        const double reduce = std::min(1.0, GridLimits::SideMax / std::max(across, down));
        width = across * reduce;
        height = down * reduce;
    } else if (width == 0.0 || height == 0.0) {
        if (width == 0.0)
            width = height * across / down;
        else
            height = width * down / across;
        // The side that follows keeps the proportions when the side given is too long.
        const double reduce = std::min(1.0, GridLimits::SideMax / std::max(width, height));
        width *= reduce;
        height *= reduce;
    }
    Width = SideWithin(width);
    Height = SideWithin(height);
    if ((file.Width != 0 && file.Width != Width) || (file.Height != 0 && file.Height != Height))
        Notes.push_back(TextFormat("-> Terrain size %d x %d requested, %d x %d used", file.Width, file.Height,
                                   Width, Height));
}

void ElevationRequest::Scale(const HeightmapFile& file) {
    Exaggeration = file.Exaggeration > 0.0 ? std::min(file.Exaggeration, ExaggerationLimit) : 0.0;
    if (Exaggeration != file.Exaggeration)
        Notes.push_back(TextFormat("-> Exaggeration %g requested, %g used", file.Exaggeration, Exaggeration));
}
