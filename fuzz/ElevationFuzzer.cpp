// Arbitrary bytes as an elevation raster and the script's request for it: raster size, crop, grid
// size, exaggeration, nodata, georeferencing, then the cell values (NaN and infinities included).
// Whatever they are, the loader either says why it made nothing or makes a grid the terrain can be
// built from: within the grid limits, every height finite (and within 0 .. 250 when fitted), the
// longer side 1000 and the shorter one positive.

#include "heightmap/ElevationLoader.h"
#include "heightmap/ElevationRaster.h"
#include "heightmap/GridLimits.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : Data(data), Size(size) {}
    template <class T>
    T Take() {
        T value{};
        if (Size >= sizeof(T)) {
            std::memcpy(&value, Data, sizeof(T));
            Data += sizeof(T), Size -= sizeof(T);
        }
        return value;
    }
    std::size_t Left() const { return Size; }

private:
    const std::uint8_t* Data;
    std::size_t Size;
};

const double Exaggerations[] = {0.0, NAN, INFINITY, -1.0, 1e30, 1.0, 25.0, 0.5};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = (GDALAllRegister(), true);
    (void)registered;
    Bytes in(data, size);
    const int columns = in.Take<std::uint8_t>() % 65, rows = in.Take<std::uint8_t>() % 65;
    HeightmapFile file;
    file.Width = in.Take<std::int8_t>() * 3, file.Height = in.Take<std::int8_t>() * 3;
    file.CropX = in.Take<std::int8_t>(), file.CropY = in.Take<std::int8_t>();
    file.CropWidth = in.Take<std::int8_t>(), file.CropHeight = in.Take<std::int8_t>();
    file.Exaggeration = Exaggerations[in.Take<std::uint8_t>() % 8];
    const std::uint8_t noData = in.Take<std::uint8_t>(), georeference = in.Take<std::uint8_t>();
    double transform[6] = {};
    for (double& term : transform)
        term = georeference % 2 == 0 ? in.Take<float>() : in.Take<std::int8_t>() * 0.25;

    GDALDatasetH set = GDALCreate(GDALGetDriverByName("MEM"), "", columns, rows, 1, GDT_Float32, nullptr);
    if (set == nullptr)
        return 0;
    std::vector<float> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (std::size_t i = 0; i < cells.size() && in.Left() > 0; ++i)
        cells[i] = in.Take<float>();
    GDALRasterBandH band = GDALGetRasterBand(set, 1);
    if (GDALRasterIO(band, GF_Write, 0, 0, columns, rows, cells.data(), columns, rows, GDT_Float32, 0, 0) !=
        CE_None)
        std::abort();
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
