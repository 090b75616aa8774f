// Terrains from rasters made in memory with known heights at known places, and from the small real
// rasters scripts/rasters unpacks: true scale, proportions, averaging, crops, missing cells, requests.
// Fitted heights and the orientation on the terrain: TerrainFileTest.

#include "heightmap/ElevationLoader.h"
#include "heightmap/ElevationRaster.h"
#include "heightmap/ElevationRequest.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>
#include <ogr_srs_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace {

// A width x height raster in memory, north row first; epsg 0: no coordinate system.
ElevationRaster Raster(int width, int height, std::vector<float> values,
                       const std::vector<double>& transform = {}, int epsg = 0, double noData = NAN) {
    GDALAllRegister();
    GDALDatasetH set = GDALCreate(GDALGetDriverByName("MEM"), "", width, height, 1, GDT_Float32, nullptr);
    GDALRasterBandH band = GDALGetRasterBand(set, 1);
    EXPECT_EQ(
        GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0),
        CE_None);
    if (!transform.empty())
        GDALSetGeoTransform(set, const_cast<double*>(transform.data()));
    if (epsg != 0) {
        OGRSpatialReferenceH system = OSRNewSpatialReference(nullptr);
        OSRImportFromEPSG(system, epsg);
        GDALSetSpatialRef(set, system);
        OSRDestroySpatialReference(system);
    }
    if (!std::isnan(noData))
        GDALSetRasterNoDataValue(band, noData);
    return ElevationRaster(set);
}

HeightmapFile Asking(int width = 0, int height = 0, double exaggeration = 0.0) {
    HeightmapFile file;
    file.Path = "x";
    file.Width = width, file.Height = height, file.Exaggeration = exaggeration;
    return file;
}

// Grid row i is raster column i (west to east), grid column c raster row height - 1 - c (south to north).
float At(const ElevationTerrain& terrain, int east, int south) {
    const Heightmap& grid = *terrain.Grid;
    return grid.Data[east * grid.Width + (grid.Width - 1 - south)];
}

TEST(ElevationLoaderTest, DegreesBecomeMetresAtTheCropsLatitudeOnlyWhereTheyCanBeDegrees) {
    // 20 x 20 pixels of 0.1 degree centred on latitude 60, as a global grid's 0 .. 360 longitudes may be;
    // the same numbers in a projected system's metres, or beyond 360, are square pixels.
    const auto extents = [](double west, int epsg) {
        const ElevationTerrain t = ElevationLoader::Load(
            Raster(20, 20, std::vector<float>(400, 1.0f), {west, 0.1, 0, 61, 0, -0.1}, epsg), Asking(), "d");
        return std::pair(t.ExtentX, t.ExtentZ);
    };
    EXPECT_NEAR(extents(350, 0).first, 1000.0 * 0.5 * 111320.0 / 110574.0, 0.01);
    EXPECT_EQ(extents(350, 0).second, 1000.0f);
    EXPECT_EQ(extents(350, 32633), std::pair(1000.0f, 1000.0f));
    EXPECT_EQ(extents(359, 0), std::pair(1000.0f, 1000.0f));
}

TEST(ElevationLoaderTest, ReducingAveragesEveryCellAndCropsCountFromTheNorthWest) {
    std::vector<float> values(16);
    for (int n = 0; n < 16; ++n)
        values[static_cast<std::size_t>(n)] = static_cast<float>(n * n); // no two blocks share a mean
    const ElevationRaster raster = Raster(4, 4, values);
    // 4 m wide at 1 m a pixel: 250 units a metre, twice as high.
    const ElevationTerrain halved = ElevationLoader::Load(raster, Asking(2, 2, 2.0), "h");
    for (int east = 0; east < 2; ++east)
        for (int south = 0; south < 2; ++south) {
            float sum = 0.0f;
            for (int n : {0, 1, 4, 5})
                sum += values[static_cast<std::size_t>(south * 8 + east * 2 + n)];
            EXPECT_FLOAT_EQ(At(halved, east, south), sum / 4.0f * 500.0f);
        }
    HeightmapFile crop = Asking(0, 0, 1.0);
    crop.CropX = 1, crop.CropY = 2, crop.CropWidth = 3;
    const ElevationTerrain cropped = ElevationLoader::Load(raster, crop, "c");
    ASSERT_EQ(std::pair(cropped.Grid->Height, cropped.Grid->Width), std::pair(3, 2));
    EXPECT_EQ(std::pair(cropped.ExtentX, cropped.ExtentZ), std::pair(1000.0f, 2000.0f / 3.0f));
    EXPECT_FLOAT_EQ(At(cropped, 0, 0), values[9] * 1000.0f / 3.0f);
    EXPECT_FLOAT_EQ(At(cropped, 2, 1), values[15] * 1000.0f / 3.0f);
}

TEST(ElevationLoaderTest, MissingCellsTakeTheirNeighboursMeanAndAreCounted) {
    // A nodata cell amid 10, 30, 20, 40; NaN, and an infinity along the west edge.
    const float gap = -9999.0f;
    const ElevationRaster raster =
        Raster(3, 4, {9, 10, 9, 30, gap, 20, NAN, 40, 9, INFINITY, 9, 9}, {}, 0, gap);
    const ElevationTerrain terrain = ElevationLoader::Load(raster, Asking(0, 0, 1.0), "gaps");
    ASSERT_NE(terrain.Grid, nullptr);
    EXPECT_FLOAT_EQ(At(terrain, 1, 1), 25.0f * 250.0f); // the mean of its four
    EXPECT_FLOAT_EQ(At(terrain, 0, 2), 35.0f * 250.0f); // of its two valid ones
    EXPECT_FLOAT_EQ(At(terrain, 0, 3), 9.0f * 250.0f);  // the missing one above it does not count
    EXPECT_EQ(terrain.Notes.front(), "-> Terrain from gaps: 3 x 4 samples, 9 to 40 m, 3 cells filled");

    EXPECT_EQ(ElevationLoader::Load(Raster(2, 2, {gap, NAN, -INFINITY, 1e30f}, {}, 0, gap), Asking(), "none")
                  .Failure,
              "every cell is missing");
    const ElevationTerrain flat = ElevationLoader::Load(Raster(2, 2, {7, 7, 7, 7}), Asking(), "flat");
    EXPECT_EQ(std::vector<float>(flat.Grid->Data, flat.Grid->Data + 4), std::vector<float>(4, 0.0f));
}

TEST(ElevationRequestTest, NumbersAreBroughtIntoRangeAndSaySo) {
    // Asked: samples east-west, north-south, crop x, y, width, height, exaggeration; the raster's
    // columns and rows. Used: the same seven, then the notes; or the failure.
    using Numbers = std::vector<double>;
    // clang-format off
    const std::tuple<Numbers, int, int, Numbers, const char*> cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, 8192, 2048, {4096, 1024, 0, 0, 8192, 2048, 0, 0}, ""},
        {{100, 0, 10, 20, 40, 0, 1}, 95, 90, {100, 175, 10, 20, 40, 70, 1, 0}, ""},
        {{0, 9000, -5, 80, 0, 30, NAN}, 95, 90, {4096, 4096, 0, 80, 95, 10, 0, 3}, ""},
        {{1, 1, 0, 0, 0, 0, 1e9}, 3, 3, {2, 2, 0, 0, 3, 3, 10000, 2}, ""},
        {{0, 0, 95, 0, 0, 0, 0}, 95, 90, {}, "the crop from (95, 0) of 0 x 0 lies outside the 95 x 90 raster"},
        {{0, 0, 94, 0, 0, 0, 0}, 95, 90, {}, "the crop keeps 1 x 90 cells, at least 2 x 2 are needed"},
        {{0, 0, 0, 0, 0, 0, 0}, 0, 0, {}, "the raster has 0 x 0 cells, at least 2 x 2 are needed"},
    };
    // clang-format on
    for (const auto& [asked, columns, rows, used, failure] : cases) {
        HeightmapFile f;
        std::tie(f.Width, f.Height, f.CropX, f.CropY, f.CropWidth, f.CropHeight) = std::tuple(
            int(asked[0]), int(asked[1]), int(asked[2]), int(asked[3]), int(asked[4]), int(asked[5]));
        f.Exaggeration = asked[6];
        const ElevationRequest r = ElevationRequest::For(f, columns, rows);
        EXPECT_EQ(r.Failure, failure);
        if (!used.empty())
            EXPECT_EQ(
                (Numbers{double(r.Width), double(r.Height), double(r.CropX), double(r.CropY),
                         double(r.CropWidth), double(r.CropHeight), r.Exaggeration, double(r.Notes.size())}),
                used);
    }
}

// The small real rasters: a geographic one with missing cells, a projected one.
TEST(ElevationLoaderTest, RealRastersLoadWithinTheirValidRange) {
    const std::filesystem::path folder = std::filesystem::path(VELTRA_SOURCE_DIR) / "build/rasters";
    if (!std::filesystem::exists(folder / "elev.tif") ||
        !std::filesystem::exists(folder / "olinda_dem_utm25s.tif"))
        GTEST_SKIP() << "scripts/rasters unpacks them";
    HeightmapFile file = Asking(0, 0, 1.0);
    file.Path = (folder / "elev.tif").string();
    const ElevationTerrain elev = ElevationLoader::Load(file);
    ASSERT_NE(elev.Grid, nullptr) << elev.Failure;
    EXPECT_EQ(elev.Notes.front(),
              "-> Terrain from elev.tif: 95 x 90 samples, 141 to 547 m, 3942 cells filled");
    const double unitsPerMetre = 1000.0 / (90 * (1.0 / 120) * 110574.0);
    for (int n = 0; n < 95 * 90; ++n)
        ASSERT_TRUE(elev.Grid->Data[n] >= 141.0 * unitsPerMetre - 1e-3 &&
                    elev.Grid->Data[n] <= 547.0 * unitsPerMetre + 1e-3);
    EXPECT_NEAR(elev.ExtentX, 95.0 / 90.0 * 111320.0 / 110574.0 * std::cos(49.8167 * M_PI / 180.0) * 1000.0,
                0.1);

    file.Path = (folder / "olinda_dem_utm25s.tif").string();
    file.Width = 40;
    const ElevationTerrain olinda = ElevationLoader::Load(file);
    ASSERT_NE(olinda.Grid, nullptr) << olinda.Failure;
    EXPECT_EQ(std::pair(olinda.Grid->Width, olinda.Grid->Height), std::pair(40, 40));
    EXPECT_EQ(std::pair(olinda.ExtentX, olinda.ExtentZ), std::pair(1000.0f, 1000.0f));
}

} // namespace
