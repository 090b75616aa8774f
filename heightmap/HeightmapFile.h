#pragma once

#include <cstdint>
#include <string>

// Which elevation raster the terrain comes from and how much of it: what scripts see as the
// properties of heightmap_file. The values are a script's, unchecked; ElevationRequest bounds them.
// Samples are counted as a map is read: Width east to west, Height north to south.
class HeightmapFile final {
public:
    std::string Path;            // raster to load, relative to the working folder; empty: hills
    std::int32_t Width = 0;      // samples east-west; 0: the crop's own (or in proportion to Height)
    std::int32_t Height = 0;     // samples north-south; 0: the crop's own (or in proportion to Width)
    std::int32_t CropX = 0;      // first raster column used, from the west edge
    std::int32_t CropY = 0;      // first raster row used, from the north edge
    std::int32_t CropWidth = 0;  // raster columns used; 0: up to the east edge
    std::int32_t CropHeight = 0; // raster rows used; 0: up to the south edge
    double Exaggeration = 0.0;   // 0: heights fitted into 0..250; above 0: true scale times this
};

// The settings scripts see as heightmap_file; lives as long as the module.
extern HeightmapFile HeightmapFileInstance;
