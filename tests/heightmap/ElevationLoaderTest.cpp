// Terrains from rasters made in memory with known heights at known places, and from the small real
// rasters scripts/rasters unpacks: true scale, proportions, averaging, crops, missing cells, requests.
// Fitted heights and the orientation on the terrain: TerrainFileTest.

#include "heightmap/ElevationLoader.h"
#include "heightmap/ElevationRaster.h"
#include "heightmap/ElevationRequest.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace {

// A width x height raster in memory, north row first, without a coordinate system; -9999 is nodata.
ElevationRaster Raster(int width, int height, std::vector<float> values, std::vector<double> transform = {}) {
    GDALAllRegister();
    GDALDatasetH set = GDALCreate(GDALGetDriverByName("MEM"), "", width, height, 1, GDT_Float32, nullptr);
    GDALRasterBandH band = GDALGetRasterBand(set, 1);
    EXPECT_EQ(
        GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0) |
            GDALSetRasterNoDataValue(band, -9999.0),
        CE_None);
    if (!transform.empty())
        GDALSetGeoTransform(set, transform.data());
    return ElevationRaster(set);
}

HeightmapFile Asking(int width, int height, double exaggeration, std::string path = "") {
    HeightmapFile file;
    file.Path = path, file.Width = width, file.Height = height, file.Exaggeration = exaggeration;
    return file;
}

// Grid row i is raster column i (west to east), grid column c raster row height - 1 - c (south to north).
float At(const ElevationTerrain& terrain, int east, int south) {
    return terrain.Grid->Data[east * terrain.Grid->Width + (terrain.Grid->Width - 1 - south)];
}

TEST(ElevationLoaderTest, DegreesBecomeMetresAtTheCropsLatitudeOnlyWhereTheyCanBeDegrees) {
    // Pixels of 0.1 degree centred on latitude 60, with longitudes as a global grid's 0 .. 360 may be,
    // and beyond 360, where they are square pixels; a whole globe of 10 degree pixels from 0 east and
    // 90 north to 90 south, measured at the equator.
    const auto extents = [](int columns, int rows, std::vector<double> transform) {
        const std::vector<float> flat(static_cast<std::size_t>(columns * rows), 1.0f);
        const ElevationTerrain t =
            ElevationLoader::Load(Raster(columns, rows, flat, transform), Asking(0, 0, 0), "d");
        return std::pair(t.ExtentX, t.ExtentZ);
    };
    EXPECT_NEAR(extents(20, 20, {350, 0.1, 0, 61, 0, -0.1}).first, 1000.0 * 0.5 * 111320.0 / 110574.0, 0.01);
    EXPECT_EQ(extents(20, 20, {359, 0.1, 0, 61, 0, -0.1}), std::pair(1000.0f, 1000.0f));
    EXPECT_NEAR(extents(36, 19, {-5, 10, 0, 95, 0, -10}).second, 1000.0 * 19 * 110574.0 / (36 * 111320.0),
                0.01);
}

TEST(ElevationLoaderTest, ReducingAveragesEveryCellAndCropsCountFromTheNorthWest) {
    std::vector<float> values(16);
    for (int n = 0; n < 16; ++n)
        values[static_cast<std::size_t>(n)] = static_cast<float>(n * n); // no two blocks share a mean
    const ElevationRaster raster = Raster(4, 4, values);
    // 4 m wide at 1 m a pixel: 250 units a metre, twice as high.
    const ElevationTerrain halved = ElevationLoader::Load(raster, Asking(2, 2, 2.0), "h");
    for (int n = 0; n < 4; ++n) {
        const std::size_t corner = static_cast<std::size_t>(n / 2 * 8 + n % 2 * 2);
        const float mean =
            (values[corner] + values[corner + 1] + values[corner + 4] + values[corner + 5]) / 4.0f;
        EXPECT_FLOAT_EQ(At(halved, n % 2, n / 2), mean * 500.0f) << n;
    }
    // 200 x 2 samples would make cells 80 times as long north-south as east-west: 9 east-west at most.
    EXPECT_EQ(ElevationLoader::Load(raster, Asking(200, 2, 0.0), "s").Grid->Height, 9);
    HeightmapFile crop = Asking(0, 0, 1.0);
    crop.CropX = 1, crop.CropY = 2, crop.CropWidth = 3;
    const ElevationTerrain cropped = ElevationLoader::Load(raster, crop, "c");
    EXPECT_EQ(std::pair(cropped.ExtentX, cropped.ExtentZ), std::pair(1000.0f, 2000.0f / 3.0f));
    EXPECT_EQ(std::pair(At(cropped, 0, 0), At(cropped, 2, 1)),
              std::pair(values[9] * 1000 / 3, values[15] * 1000 / 3));
}

TEST(ElevationLoaderTest, MissingCellsTakeTheirNeighboursMeanAndAreCounted) {
    // A nodata cell amid 10, 30, 20, 40; NaN, and an infinity along the west edge.
    const ElevationRaster raster = Raster(3, 4, {9, 10, 9, 30, -9999, 20, NAN, 40, 9, INFINITY, 9, 9});
    const ElevationTerrain terrain = ElevationLoader::Load(raster, Asking(0, 0, 1.0), "gaps");
    ASSERT_NE(terrain.Grid, nullptr);
    EXPECT_FLOAT_EQ(At(terrain, 1, 1), 25.0f * 250.0f); // the mean of its four
    EXPECT_FLOAT_EQ(At(terrain, 0, 2), 35.0f * 250.0f); // of its two valid ones
    EXPECT_FLOAT_EQ(At(terrain, 0, 3), 9.0f * 250.0f);  // the missing one above it does not count
    EXPECT_EQ(terrain.Notes.front(), "-> Terrain from gaps: 3 x 4 samples, 9 to 40 m, 3 cells filled");
}

TEST(ElevationRequestTest, NumbersAreBroughtIntoRangeAndSaySo) {
    // Asked: samples east-west, north-south, crop x, y, width, height, exaggeration; the raster's
    // columns and rows. Used: the same seven, then the notes; or the failure.
    using Numbers = std::vector<double>;
    // clang-format off
    const std::tuple<Numbers, int, int, Numbers, const char*> cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, 8192, 2048, {4096, 1024, 0, 0, 8192, 2048, 0, 0}, ""},
        {{100, 0, 10, 20, 40, 70, 1}, 95, 90, {100, 175, 10, 20, 40, 70, 1, 0}, ""},
        {{0, 0, 93, 88, 0, 0, 0}, 95, 90, {2, 2, 93, 88, 2, 2, 0, 0}, ""},
        {{0, 9000, -5, 80, 0, 30, NAN}, 95, 90, {4096, 431, 0, 80, 95, 10, 0, 3}, ""},
        {{5000, 0, 0, 0, 0, 0, 0}, 95, 90, {4096, 3880, 0, 0, 95, 90, 0, 1}, ""},
        {{1, 1, 0, 0, 0, 0, 1e9}, 3, 3, {2, 2, 0, 0, 3, 3, 10000, 2}, ""},
        {{0, 0, 50, 0, 1, 0, 0}, 95, 90, {}, "the crop keeps 1 x 90 cells, at least 2 x 2 are needed"},
    };
    // clang-format on
    for (const auto& [a, columns, rows, used, failure] : cases) {
        HeightmapFile f = Asking(int(a[0]), int(a[1]), a[6]);
        std::tie(f.CropX, f.CropY, f.CropWidth, f.CropHeight) =
            std::tuple(int(a[2]), int(a[3]), int(a[4]), int(a[5]));
        const ElevationRequest r = ElevationRequest::For(f, columns, rows);
        EXPECT_EQ(r.Failure, failure);
        const Numbers got = {double(r.Width), double(r.Height),      double(r.CropX),
                             double(r.CropY), double(r.CropWidth),   double(r.CropHeight),
                             r.Exaggeration,  double(r.Notes.size())};
        EXPECT_TRUE(used.empty() || got == used) << a[0] << " " << a[2];
    }
}

// The small real rasters: a geographic one with missing cells, a projected one with 90 m pixels.
TEST(ElevationLoaderTest, RealRastersLoadWithinTheirValidRange) {
    const std::string folder = VELTRA_SOURCE_DIR "/build/rasters/";
    if (!std::filesystem::exists(folder + "elev.tif") ||
        !std::filesystem::exists(folder + "olinda_dem_utm25s.tif"))
        GTEST_SKIP() << "scripts/rasters unpacks them";
    const ElevationTerrain elev = ElevationLoader::Load(Asking(0, 0, 1.0, folder + "elev.tif"));
    ASSERT_NE(elev.Grid, nullptr) << elev.Failure;
    EXPECT_EQ(elev.Notes.front(),
              "-> Terrain from elev.tif: 95 x 90 samples, 141 to 547 m, 3942 cells filled");
    const double unitsPerMetre = 1000.0 / (90 / 120.0 * 110574.0);
    for (int n = 0; n < 95 * 90; ++n)
        ASSERT_TRUE(elev.Grid->Data[n] >= 141.0 * unitsPerMetre - 1e-3 &&
                    elev.Grid->Data[n] <= 547.0 * unitsPerMetre + 1e-3);
    EXPECT_NEAR(elev.ExtentX, 95.0 / 90.0 * 111320.0 / 110574.0 * std::cos(49.8167 * M_PI / 180.0) * 1000.0,
                0.1);
    const ElevationTerrain olinda =
        ElevationLoader::Load(Asking(40, 0, 1.0, folder + "olinda_dem_utm25s.tif"));
    EXPECT_EQ(std::tuple(olinda.Grid->Width, olinda.Grid->Height, olinda.ExtentX, olinda.ExtentZ),
              std::tuple(40, 40, 1000.0f, 1000.0f));
}

} // namespace
