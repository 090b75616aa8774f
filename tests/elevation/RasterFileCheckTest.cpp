// What the loader lets GDAL open: local regular files in the formats it names, VRTs and subdatasets
// only over such files, a file of several rasters by its elevation; and GDAL left as the process had
// it, with nothing said on standard error.

#include "elevation/ElevationLoader.h"
#include "elevation/SubdatasetChoice.h"
#include "heightmap/HeightmapFile.h"

#include <gdal.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

class RasterFileCheckTest : public testing::Test {
protected:
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("veltra-rasters-" + std::to_string(std::random_device()()));

    void SetUp() override {
        GDALAllRegister();
        std::filesystem::create_directories(Folder);
        // A 2 x 2 ground of 1, 2, 3, 4 m as GeoTIFF, and as a netCDF variable named height.
        GDALDatasetH memory = GDALCreate(GDALGetDriverByName("MEM"), "", 2, 2, 1, GDT_Float32, nullptr);
        float cells[4] = {1, 2, 3, 4};
        ASSERT_EQ(
            GDALRasterIO(GDALGetRasterBand(memory, 1), GF_Write, 0, 0, 2, 2, cells, 2, 2, GDT_Float32, 0, 0),
            CE_None);
        GDALSetMetadataItem(GDALGetRasterBand(memory, 1), "NETCDF_VARNAME", "height", nullptr);
        for (const auto& [driver, name] :
             {std::pair("GTiff", "ground.tif"), std::pair("netCDF", "ground.nc")})
            GDALClose(GDALCreateCopy(GDALGetDriverByName(driver), (Folder / name).c_str(), memory, 0, nullptr,
                                     nullptr, nullptr));
        GDALClose(memory);
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Folder / name) << text;
    }

    // A VRT over one source file, as written (relative to the VRT when relative is true).
    void WriteVrt(const std::string& name, const std::string& source, bool relative) const {
        Write(name,
              "<VRTDataset rasterXSize=\"2\" rasterYSize=\"2\"><VRTRasterBand dataType=\"Float32\" "
              "band=\"1\"><SimpleSource><SourceFilename relativeToVRT=\"" +
                  std::string(relative ? "1" : "0") + "\">" + source +
                  "</SourceFilename><SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>");
    }

    ElevationTerrain Load(const std::string& path) const {
        HeightmapFile file;
        file.Path = path;
        return ElevationLoader::Load(file);
    }
};

TEST_F(RasterFileCheckTest, VrtsAndSubdatasetsOverLocalRegularFilesLoad) {
    WriteVrt("near.vrt", "ground.tif", true);
    WriteVrt("outer.vrt", (Folder / "near.vrt").string(), false);
    for (const std::string& path :
         std::vector<std::string>{(Folder / "near.vrt").string(), (Folder / "outer.vrt").string(),
                                  "NETCDF:\"" + (Folder / "ground.nc").string() + "\":height"}) {
        const ElevationTerrain terrain = Load(path);
        ASSERT_NE(terrain.Grid, nullptr) << path << ": " << terrain.Failure;
        EXPECT_NE(terrain.Notes.front().find(": 2 x 2 samples, 1 to 4 m"), std::string::npos)
            << terrain.Notes.front();
    }
}

TEST_F(RasterFileCheckTest, NothingElseIsOpenedAndGdalIsLeftAsFound) {
    // A web map service description is a local regular file, but reading it would download.
    Write("service.xml", "<GDAL_WMS><Service name=\"WMS\"><ServerUrl>http://127.0.0.1:9/</ServerUrl>"
                         "<Layers>x</Layers></Service></GDAL_WMS>");
    WriteVrt("device.vrt", "/dev/zero", false);
    WriteVrt("remote.vrt", "/vsicurl/http://127.0.0.1:9/ground.tif", false);
    WriteVrt("service.vrt", "service.xml", true);
    WriteVrt("loop.vrt", "loop.vrt", true);
    const std::string nc = (Folder / "ground.nc").string();
    const std::pair<std::string, std::string> refused[] = {
        {"service.xml", "not a raster that can be read"},
        {"device.vrt", "it refers to /dev/zero: not a regular file"},
        {"remote.vrt", "it refers to /vsicurl/http://127.0.0.1:9/ground.tif: not a local file"},
        {"service.vrt",
         "it refers to " + (Folder / "service.xml").string() + ": not a raster that can be read"},
        {"MEM:::DATAPOINTER=0x1,PIXELS=2,LINES=2", "No such file or directory"},
        {"NETCDF:\"/dev/zero\":height", "not a regular file"},
    };
    const std::int64_t cache = GDALGetCacheMax64();
    testing::internal::CaptureStderr();
    for (const auto& [name, why] : refused) {
        const std::string path = name.find(':') == std::string::npos ? (Folder / name).string() : name;
        EXPECT_EQ(Load(path).Failure, why) << name;
    }
    EXPECT_NE(Load((Folder / "loop.vrt").string()).Failure.find("too deep"), std::string::npos);
    ASSERT_NE(Load((Folder / "ground.tif").string()).Grid, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(GDALGetCacheMax64(), cache);
    EXPECT_NE(GDALGetDriverByName("WMS"), nullptr); // the allow-list, not deregistering
}

TEST_F(RasterFileCheckTest, AFileOfSeveralRastersGivesItsElevationOrNamesTheChoices) {
    GDALDatasetH listing = GDALCreate(GDALGetDriverByName("MEM"), "", 1, 1, 0, GDT_Float32, nullptr);
    const char* several[] = {"SUBDATASET_1_NAME=NETCDF:\"f.nc\":time", "SUBDATASET_1_DESC=[1] time",
                             "SUBDATASET_2_NAME=NETCDF:\"f.nc\":Elevation",
                             "SUBDATASET_2_DESC=[9x9] Elevation", nullptr};
    GDALSetMetadata(listing, const_cast<char**>(several), "SUBDATASETS");
    std::string why;
    EXPECT_EQ(SubdatasetChoice::Of(listing, why), "NETCDF:\"f.nc\":Elevation");
    const char* none[] = {"SUBDATASET_1_NAME=NETCDF:\"f.nc\":time", "SUBDATASET_1_DESC=[1] time",
                          "SUBDATASET_2_NAME=NETCDF:\"f.nc\":sst", "SUBDATASET_2_DESC=[9x9] sst", nullptr};
    GDALSetMetadata(listing, const_cast<char**>(none), "SUBDATASETS");
    EXPECT_EQ(SubdatasetChoice::Of(listing, why), "");
    EXPECT_EQ(why, "a file of several rasters, none named as elevations are; name one as the path: "
                   "NETCDF:\"f.nc\":time NETCDF:\"f.nc\":sst");
    GDALClose(listing);
}

} // namespace
