#pragma once

#include <cstdint>
#include <string>
#include <vector>

class HeightmapFile;

// What loading a raster of a given size actually uses of a script's heightmap_file settings: a crop
// within the raster, a grid the terrain can be built from, an exaggeration that keeps heights
// finite. Each value brought into range leaves a "-> " note; a request nothing can be made of
// leaves a Failure instead.
struct ElevationRequest {
    static constexpr double ExaggerationLimit = 10000.0;

    std::int32_t CropX = 0, CropY = 0;          // raster pixel of the crop's north-west corner
    std::int32_t CropWidth = 0, CropHeight = 0; // raster pixels, each at least 2
    std::int32_t Width = 0;                     // samples east-west, within GridLimits
    std::int32_t Height = 0;                    // samples north-south, within GridLimits
    double Exaggeration = 0.0;                  // 0, or true scale times this

    std::vector<std::string> Notes;
    std::string Failure; // empty when the request holds

    static ElevationRequest For(const HeightmapFile& file, std::int32_t rasterColumns,
                                std::int32_t rasterRows);

private:
    bool Crop(const HeightmapFile& file, std::int32_t rasterColumns, std::int32_t rasterRows);
    void Size(const HeightmapFile& file);
    void Scale(const HeightmapFile& file);
};
