#include "elevation/ElevationLoader.h"

#include "elevation/ElevationRaster.h"
#include "elevation/GridSampling.h"
#include "elevation/RasterFileCheck.h"
#include "heightmap/ElevationRequest.h"
#include "heightmap/HeightmapFile.h"
#include "heightmap/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {
// Fitted into 0 .. 250 (a flat raster stays flat at 0), or metres at the ground's scale with the
// lowest sample at 0: the lighting's shadow term divides by a point's height, and ground below 0
// would light wrongly.
std::vector<float> Shaped(const GridSamples& samples, double unitsPerMetre, double exaggeration,
                          bool& clamped) {
    std::vector<float> heights(samples.Heights.size());
    const double spread = samples.Highest - samples.Lowest;
    for (std::size_t i = 0; i < heights.size(); ++i) {
        const double above = samples.Heights[i] - samples.Lowest;
        double height = 0.0;
        if (exaggeration == 0.0)
            height = spread > 0.0 ? above / spread * ElevationLoader::HighestFitted : 0.0;
        else
            height = above * unitsPerMetre * exaggeration;
        const double bounded =
            std::clamp(height, -ElevationLoader::HeightLimit, ElevationLoader::HeightLimit);
        clamped = clamped || bounded != height;
        heights[i] = static_cast<float>(bounded);
    }
    return heights;
}

// Sample (east i, south j) of a width x height map becomes grid row i, column height - 1 - j.
std::unique_ptr<Heightmap> MapOnGrid(const std::vector<float>& heights, int width, int height) {
    auto grid = std::make_unique<Heightmap>(height, width);
    for (int row = 0; row < width; ++row)
        for (int column = 0; column < height; ++column)
            grid->Data[static_cast<std::size_t>(row) * static_cast<std::size_t>(height) +
                       static_cast<std::size_t>(column)] =
                heights[static_cast<std::size_t>(height - 1 - column) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(row)];
    return grid;
}

// The lighting's horizon holds cells up to 8 times as long one way as the other: a finer side
// takes fewer samples.
void BoundCellShape(ElevationRequest& request, double metresX, double metresZ,
                    std::vector<std::string>& notes) {
    constexpr double MostStretch = 8.0;
    const std::int32_t width = request.Width, height = request.Height;
    const double cellX = metresX / (width - 1), cellZ = metresZ / (height - 1);
    if (cellX > MostStretch * cellZ)
        request.Height =
            std::max(2, static_cast<std::int32_t>(std::floor(MostStretch * metresZ / cellX)) + 1);
    else if (cellZ > MostStretch * cellX)
        request.Width = std::max(2, static_cast<std::int32_t>(std::floor(MostStretch * metresX / cellZ)) + 1);
    if (request.Width != width || request.Height != height)
        notes.push_back(
            TextFormat("-> Terrain size %d x %d makes cells over 8 times as long as wide, %d x %d used",
                       width, height, request.Width, request.Height));
}

std::string Described(const ElevationRaster& raster, const ElevationRequest& request,
                      const std::string& name) {
    const bool whole = request.CropWidth == raster.Columns() && request.CropHeight == raster.Rows();
    if (whole && request.Width == raster.Columns() && request.Height == raster.Rows())
        return name;
    if (whole)
        return TextFormat("%s (%d x %d)", name.c_str(), raster.Columns(), raster.Rows());
    return TextFormat("%s (%d x %d, cropped from (%d, %d) to %d x %d)", name.c_str(), raster.Columns(),
                      raster.Rows(), request.CropX, request.CropY, request.CropWidth, request.CropHeight);
}
} // namespace

ElevationTerrain ElevationLoader::Load(const HeightmapFile& file) {
    std::string why;
    const std::unique_ptr<ElevationRaster> raster = ElevationRaster::Open(file.Path, why);
    if (raster == nullptr) {
        ElevationTerrain nothing;
        nothing.Failure = why;
        return nothing;
    }
    // A variable of a file is called file:variable.
    const std::string inner = RasterFileCheck::FileOf(file.Path);
    const std::string& named = raster->Subdataset().empty() ? file.Path : raster->Subdataset();
    std::string name = std::filesystem::path(inner).filename().string();
    if (named != inner)
        name += named.substr(named.find_last_of(':'));
    return Load(*raster, file, name);
}

ElevationTerrain ElevationLoader::Load(const ElevationRaster& raster, const HeightmapFile& file,
                                       const std::string& name) {
    ElevationTerrain terrain;
    ElevationRequest request = ElevationRequest::For(file, raster.Columns(), raster.Rows());
    terrain.Corrections = request.Notes;
    if (!request.Failure.empty()) {
        terrain.Failure = request.Failure;
        return terrain;
    }
    const PixelSize pixel = raster.MetresPerPixel(request);
    const double metresX = request.CropWidth * pixel.EastWest,
                 metresZ = request.CropHeight * pixel.NorthSouth;
    BoundCellShape(request, metresX, metresZ, terrain.Corrections);
    GridSamples samples;
    if (!GridSampling::Sample(raster, request, samples, terrain.Failure))
        return terrain;

    const double longer = std::max(metresX, metresZ);
    terrain.ExtentX = static_cast<float>(1000.0 * metresX / longer);
    terrain.ExtentZ = static_cast<float>(1000.0 * metresZ / longer);
    bool clamped = false;
    const double unitsPerMetre = 1000.0 / longer;
    terrain.Grid = MapOnGrid(Shaped(samples, unitsPerMetre, request.Exaggeration, clamped), request.Width,
                             request.Height);

    terrain.Notes.push_back(
        TextFormat("-> Terrain from %s: %d x %d samples, %.0f to %.0f m, %lld cells filled",
                   Described(raster, request, name).c_str(), request.Width, request.Height, samples.Lowest,
                   samples.Highest, static_cast<long long>(samples.Filled)));
    terrain.Notes.push_back(TextFormat(
        "-> Ground %.1f x %.1f units for %.0f x %.0f m%s, heights %s", terrain.ExtentX, terrain.ExtentZ,
        metresX, metresZ, pixel.Georeferenced ? "" : " (square pixels of 1 m)",
        request.Exaggeration == 0.0 ? "fitted to 0 .. 250"
                                    : TextFormat("at true scale x %g", request.Exaggeration).c_str()));
    const double lift = -samples.Lowest * unitsPerMetre * request.Exaggeration;
    if (std::fabs(lift) >= 0.005) // as the note rounds it; fitted heights are never lifted
        terrain.Notes.push_back(
            TextFormat("-> Heights %s by %.2f units so that the lowest sample (%.0f m) stands at 0",
                       lift > 0.0 ? "raised" : "lowered", std::fabs(lift), samples.Lowest));
    if (clamped)
        terrain.Corrections.push_back(
            TextFormat("-> Heights beyond %g units either way clamped", HeightLimit));
    return terrain;
}
