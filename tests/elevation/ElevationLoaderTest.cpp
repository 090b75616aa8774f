// Terrains from rasters made in memory with known heights at known places, and from the small real
// rasters scripts/rasters unpacks: true scale, proportions, averaging, crops, missing cells, every
// layout of rows and columns. Fitted heights and the orientation on the terrain: TerrainFileTest.

#include "elevation/ElevationLoader.h"
#include "elevation/ElevationRaster.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// A width x height raster in memory, first row first, without a coordinate system; -9999 is nodata.
std::unique_ptr<ElevationRaster> Raster(int width, int height, std::vector<float> values,
                                        std::vector<double> transform = {}) {
    GDALAllRegister();
    GDALDatasetH set = GDALCreate(GDALGetDriverByName("MEM"), "", width, height, 1, GDT_Float32, nullptr);
    GDALRasterBandH band = GDALGetRasterBand(set, 1);
    EXPECT_EQ(
        GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0) |
            GDALSetRasterNoDataValue(band, -9999.0),
        CE_None);
    if (!transform.empty())
        GDALSetGeoTransform(set, transform.data());
    std::string why;
    std::unique_ptr<ElevationRaster> raster = ElevationRaster::Over(set, why);
    EXPECT_NE(raster, nullptr) << why;
    return raster;
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
    // Pixels of 0.1 degree centred on latitude 60; longitudes spanning over 360, which are square
    // pixels; whole globes of 10 degree pixels from 90 north to 90 south, one starting west of 0 and
    // one 20 east (its pixel centres run to 375), measured at the equator.
    const auto extents = [](int columns, int rows, std::vector<double> transform) {
        const std::vector<float> flat(static_cast<std::size_t>(columns * rows), 1.0f);
        const ElevationTerrain t =
            ElevationLoader::Load(*Raster(columns, rows, flat, transform), Asking(0, 0, 0), "d");
        return std::pair(t.ExtentX, t.ExtentZ);
    };
    EXPECT_NEAR(extents(20, 20, {350, 0.1, 0, 61, 0, -0.1}).first, 1000.0 * 0.5 * 111320.0 / 110574.0, 0.01);
    EXPECT_EQ(extents(38, 19, {0, 10, 0, 95, 0, -10}), std::pair(1000.0f, 500.0f));
    for (const double west : {-5.0, 20.0})
        EXPECT_NEAR(extents(36, 19, {west, 10, 0, 95, 0, -10}).second,
                    1000.0 * 19 * 110574.0 / (36 * 111320.0), 0.01)
            << west;
}

TEST(ElevationLoaderTest, ReducingAveragesEveryCellAndCropsCountFromTheNorthWest) {
    std::vector<float> values(16);
    for (int n = 0; n < 16; ++n)
        values[static_cast<std::size_t>(n)] = static_cast<float>(n * n); // no two blocks share a mean
    const std::unique_ptr<ElevationRaster> raster = Raster(4, 4, values);
    // 4 m wide at 1 m a pixel: 250 units a metre, twice as high, the lowest mean (10.5) at 0.
    const ElevationTerrain halved = ElevationLoader::Load(*raster, Asking(2, 2, 2.0), "h");
    for (int n = 0; n < 4; ++n) {
        const std::size_t corner = static_cast<std::size_t>(n / 2 * 8 + n % 2 * 2);
        const float mean =
            (values[corner] + values[corner + 1] + values[corner + 4] + values[corner + 5]) / 4.0f;
        EXPECT_FLOAT_EQ(At(halved, n % 2, n / 2), (mean - 10.5f) * 500.0f) << n;
    }
    // 200 x 2 samples would make cells 80 times as long north-south as east-west: 9 east-west at most.
    EXPECT_EQ(ElevationLoader::Load(*raster, Asking(200, 2, 0.0), "s").Grid->Height, 9);
    HeightmapFile crop = Asking(0, 0, 1.0);
    crop.CropX = 1, crop.CropY = 2, crop.CropWidth = 3;
    const ElevationTerrain cropped = ElevationLoader::Load(*raster, crop, "c");
    EXPECT_EQ(std::pair(cropped.ExtentX, cropped.ExtentZ), std::pair(1000.0f, 2000.0f / 3.0f));
    EXPECT_EQ(std::pair(At(cropped, 0, 0), At(cropped, 2, 1)),
              std::pair(0.0f, (values[15] - values[9]) * 1000 / 3));
}

TEST(ElevationLoaderTest, MissingCellsTakeTheirNeighboursMeanAndAreCounted) {
    // A nodata cell amid 10, 30, 20, 40; NaN, and an infinity along the west edge.
    const std::unique_ptr<ElevationRaster> raster =
        Raster(3, 4, {9, 10, 9, 30, -9999, 20, NAN, 40, 9, INFINITY, 9, 9});
    const ElevationTerrain terrain = ElevationLoader::Load(*raster, Asking(0, 0, 1.0), "gaps");
    ASSERT_NE(terrain.Grid, nullptr);
    EXPECT_FLOAT_EQ(At(terrain, 1, 1), (25.0f - 9.0f) * 250.0f); // the mean of its four
    EXPECT_FLOAT_EQ(At(terrain, 0, 2), (35.0f - 9.0f) * 250.0f); // of its two valid ones
    EXPECT_FLOAT_EQ(At(terrain, 0, 3), 0.0f);                    // the missing one above it does not count
    EXPECT_EQ(terrain.Notes.front(), "-> Terrain from gaps: 3 x 4 samples, 9 to 40 m, 3 cells filled");
}

TEST(ElevationLoaderTest, EveryLayoutOfRowsAndColumnsComesOutNorthUpEastRight) {
    // A 6 x 4 raster, 0 but for a marker of 100 in the cell its geotransform puts at the north-west,
    // a 50 beside it to the east: first row north or south, first column west or east, and rows
    // turned a quarter (rows run east, columns north), which the warper makes 4 east x 6 north.
    struct Layout {
        std::vector<double> Transform;
        int MarkerColumn, MarkerRow, EastColumn, EastRow;
        int East, North;
    };
    const Layout layouts[] = {
        {{100, 1, 0, 50, 0, -1}, 0, 0, 1, 0, 6, 4},  {{100, 1, 0, 46, 0, 1}, 0, 3, 1, 3, 6, 4},
        {{106, -1, 0, 50, 0, -1}, 5, 0, 4, 0, 6, 4}, {{106, -1, 0, 46, 0, 1}, 5, 3, 4, 3, 6, 4},
        {{100, 0, 1, 40, 1, 0}, 5, 0, 5, 1, 4, 6},
    };
    for (const Layout& layout : layouts) {
        std::vector<float> values(24, 0.0f);
        values[static_cast<std::size_t>(layout.MarkerRow * 6 + layout.MarkerColumn)] = 100.0f;
        values[static_cast<std::size_t>(layout.EastRow * 6 + layout.EastColumn)] = 50.0f;
        const ElevationTerrain terrain =
            ElevationLoader::Load(*Raster(6, 4, values, layout.Transform), Asking(0, 0, 0.0), "marker");
        ASSERT_NE(terrain.Grid, nullptr) << terrain.Failure;
        const std::string layoutName =
            std::to_string(layout.Transform[1]) + " " + std::to_string(layout.Transform[5]);
        EXPECT_EQ(std::pair(terrain.Grid->Height, terrain.Grid->Width), std::pair(layout.East, layout.North))
            << layoutName;
        EXPECT_EQ(std::pair(At(terrain, 0, 0), At(terrain, 1, 0)), std::pair(250.0f, 125.0f)) << layoutName;
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
    // Enlarged too, where the cubic kernel would reach the missing cells: the heights stay within
    // the valid range, lifted so that 141 m stands at 0.
    for (const int width : {95, 1000, 4096}) {
        const ElevationTerrain enlarged = ElevationLoader::Load(Asking(width, 0, 1.0, folder + "elev.tif"));
        ASSERT_NE(enlarged.Grid, nullptr) << enlarged.Failure;
        const auto loaded =
            std::find_if(enlarged.Notes.begin(), enlarged.Notes.end(), [](const std::string& note) {
                return note.starts_with("-> Terrain from elev.tif");
            });
        ASSERT_NE(loaded, enlarged.Notes.end());
        EXPECT_NE(loaded->find(", 141 to 547 m, "), std::string::npos) << *loaded;
        const double highest = (547.0 - 141.0) * 1000.0 / (90 / 120.0 * 110574.0);
        const float* heights = enlarged.Grid->Data;
        const auto [lowest, most] =
            std::minmax_element(heights, heights + enlarged.Grid->Width * enlarged.Grid->Height);
        EXPECT_TRUE(*lowest == 0.0f && *most <= highest + 1e-3) << width << ": " << *lowest << " " << *most;
    }
    EXPECT_NEAR(elev.ExtentX, 95.0 / 90.0 * 111320.0 / 110574.0 * std::cos(49.8167 * M_PI / 180.0) * 1000.0,
                0.1);
    const ElevationTerrain olinda =
        ElevationLoader::Load(Asking(40, 0, 1.0, folder + "olinda_dem_utm25s.tif"));
    EXPECT_EQ(std::tuple(olinda.Grid->Width, olinda.Grid->Height, olinda.ExtentX, olinda.ExtentZ),
              std::tuple(40, 40, 1000.0f, 1000.0f));
}

} // namespace
