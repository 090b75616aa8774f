#pragma once

#include "heightmap/Heightmap.h"

#include <memory>
#include <string>
#include <vector>

class ElevationRaster;
class HeightmapFile;

// A terrain's heights from an elevation raster, laid out as a map is read from above: grid rows
// run west to east along world x (raster columns), grid columns south to north along world z
// (raster rows, reversed). The terrain keeps the crop's proportions: its longer side spans 1000.
struct ElevationTerrain {
    std::unique_ptr<Heightmap> Grid;      // null when nothing could be loaded
    float ExtentX = 1000.0f;              // world units west to east
    float ExtentZ = 1000.0f;              // world units south to north
    std::vector<std::string> Corrections; // "-> " lines: values brought into range
    std::vector<std::string> Notes;       // "-> " lines: what was loaded
    std::string Failure;                  // why there is no grid
};

class ElevationLoader {
public:
    static constexpr float HighestFitted = 250.0f; // top of the fitted relief
    static constexpr double HeightLimit = 1.0e6;   // world units either way, at true scale

    // The raster at file.Path, as file asks for it.
    static ElevationTerrain Load(const HeightmapFile& file);
    // The same from a raster already open; name is what the notes call it.
    static ElevationTerrain Load(const ElevationRaster& raster, const HeightmapFile& file,
                                 const std::string& name);
};
