// Arbitrary bytes as an elevation raster and the script's request for it: raster size, crop, grid
// size, exaggeration, nodata, georeferencing, then the cell values (NaN and infinities included).
// Whatever they are, the loader either says why it made nothing or makes a grid the terrain can be
// built from: within the grid limits, every height finite (and within 0 .. 250 when fitted), the
// longer side 1000 and the shorter one positive.

#include "elevation/ElevationLoader.h"
#include "elevation/ElevationRaster.h"
#include "heightmap/GridLimits.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool registered = (GDALAllRegister(), true);
    // The next sizeof(T) bytes as a T; 0 once they run out.
    const auto take = [&]<class T>(T) {
        T value{};
        if (size >= sizeof(T))
            std::memcpy(&value, data, sizeof(T)), data += sizeof(T), size -= sizeof(T);
        return value;
    };
    const int columns = take(std::uint8_t{}) % 65, rows = take(std::uint8_t{}) % 65;
    HeightmapFile file;
    file.Width = take(std::int8_t{}) * 3, file.Height = take(std::int8_t{}) * 3;
    file.CropX = take(std::int8_t{}), file.CropY = take(std::int8_t{});
    file.CropWidth = take(std::int8_t{}), file.CropHeight = take(std::int8_t{});
    const double exaggerations[] = {0.0, NAN, INFINITY, -1.0, 1e30, 1.0, 25.0, 0.5};
    file.Exaggeration = exaggerations[take(std::uint8_t{}) % 8];
    const std::uint8_t noData = take(std::uint8_t{}), georeference = take(std::uint8_t{});
    double transform[6] = {};
    for (double& term : transform)
        term = georeference % 2 == 0 ? take(float{}) : take(std::int8_t{}) * 0.25;

    GDALDatasetH set = GDALCreate(GDALGetDriverByName("MEM"), "", columns, rows, 1, GDT_Float32, nullptr);
    if (set == nullptr)
        return 0;
    std::vector<float> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (std::size_t i = 0; i < cells.size() && size > 0; ++i)
        cells[i] = take(float{});
    GDALRasterBandH band = GDALGetRasterBand(set, 1);
    (void)GDALRasterIO(band, GF_Write, 0, 0, columns, rows, cells.data(), columns, rows, GDT_Float32, 0, 0);
    // A nodata value that cells have, NaN, or one beyond what a float holds.
    if (noData % 4 != 0)
        GDALSetRasterNoDataValue(band, noData % 4 == 1   ? cells.empty() ? 0.0 : cells[0]
                                         : noData % 4 == 2 ? NAN
                                                         : 1e300);
    if (georeference % 3 != 0)
        GDALSetGeoTransform(set, transform);

    const ElevationRaster raster(set);
    const ElevationTerrain terrain = ElevationLoader::Load(raster, file, "fuzz");
    if (terrain.Grid == nullptr)
        return terrain.Failure.empty() ? (std::abort(), 0) : 0;
    const Heightmap& grid = *terrain.Grid;
    if (!GridLimits::Fits(grid.Width, grid.Height) ||
        !(std::max(terrain.ExtentX, terrain.ExtentZ) == 1000.0f) ||
        !(std::min(terrain.ExtentX, terrain.ExtentZ) > 0.0f))
        std::abort();
    const bool fitted = !(file.Exaggeration > 0.0);
    for (std::size_t i = 0; i < static_cast<std::size_t>(grid.Width) * static_cast<std::size_t>(grid.Height);
         ++i)
        if (!std::isfinite(grid.Data[i]) || (fitted && !(grid.Data[i] >= 0.0f && grid.Data[i] <= 250.0f)))
            std::abort();
    return 0;
}
