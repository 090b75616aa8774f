// Arbitrary bytes as an elevation raster and the script's request for it: raster size, crop, grid
// size, exaggeration, nodata, georeferencing (flipped and rotated too), then the cell values (NaN
// and infinities included). Bytes that begin "<VRTDataset" are a VRT file instead, beside a small
// GeoTIFF and netCDF it may refer to; bytes that begin "NETCDF:" name a variable of that netCDF in
// GDAL's subdataset syntax. Whatever they are, the loader either says why it made nothing or makes
// a grid the terrain can be built from: within the grid limits, every height finite (and within
// 0 .. 250 when fitted), the longer side 1000 and the shorter one positive.

#include "elevation/ElevationLoader.h"
#include "elevation/ElevationRaster.h"
#include "heightmap/GridLimits.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {
void Check(const ElevationTerrain& terrain, bool fitted) {
    if (terrain.Grid == nullptr) {
        if (terrain.Failure.empty())
            std::abort();
        return;
    }
    const Heightmap& grid = *terrain.Grid;
    if (!GridLimits::Fits(grid.Width, grid.Height) ||
        !(std::max(terrain.ExtentX, terrain.ExtentZ) == 1000.0f) ||
        !(std::min(terrain.ExtentX, terrain.ExtentZ) > 0.0f))
        std::abort();
    for (std::size_t i = 0; i < static_cast<std::size_t>(grid.Width) * static_cast<std::size_t>(grid.Height);
         ++i)
        if (!std::isfinite(grid.Data[i]) || (fitted && !(grid.Data[i] >= 0.0f && grid.Data[i] <= 250.0f)))
            std::abort();
}

// A folder of this process's own, with ground.tif and ground.nc (variable height) in it.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        const auto path =
            std::filesystem::temp_directory_path() / ("veltra-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        GDALDatasetH memory = GDALCreate(GDALGetDriverByName("MEM"), "", 3, 2, 1, GDT_Float32, nullptr);
        float cells[6] = {1, 2, 3, 4, -9999, 6};
        (void)GDALRasterIO(GDALGetRasterBand(memory, 1), GF_Write, 0, 0, 3, 2, cells, 3, 2, GDT_Float32, 0,
                           0);
        GDALSetRasterNoDataValue(GDALGetRasterBand(memory, 1), -9999);
        GDALSetMetadataItem(GDALGetRasterBand(memory, 1), "NETCDF_VARNAME", "height", nullptr);
        for (const auto& [driver, name] :
             {std::pair("GTiff", "ground.tif"), std::pair("netCDF", "ground.nc")})
            GDALClose(GDALCreateCopy(GDALGetDriverByName(driver), (path / name).c_str(), memory, 0, nullptr,
                                     nullptr, nullptr));
        GDALClose(memory);
        return path;
    }();
    return folder;
}

// A VRT's text, or a subdataset name's variable, loaded as a script's Path.
int FromFile(std::string_view text) {
    HeightmapFile file;
    if (text.starts_with("NETCDF:")) {
        file.Path = "NETCDF:\"" + (Folder() / "ground.nc").string() + "\":" + std::string(text.substr(7));
    } else {
        file.Path = (Folder() / "input.vrt").string();
        std::ofstream(file.Path, std::ios::binary | std::ios::trunc) << text;
    }
    Check(ElevationLoader::Load(file), true);
    return 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool registered = (GDALAllRegister(), true);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (text.starts_with("<VRTDataset") || text.starts_with("NETCDF:"))
        return FromFile(text);
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

    std::string why;
    const std::unique_ptr<ElevationRaster> raster = ElevationRaster::Over(set, why);
    if (raster == nullptr)
        return why.empty() ? (std::abort(), 0) : 0;
    Check(ElevationLoader::Load(*raster, file, "fuzz"), !(file.Exaggeration > 0.0));
    return 0;
}
