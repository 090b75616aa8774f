// The loader of a build without an elevation-file reader (GDAL): no file ever opens, so a script's
// heightmap_file leaves the terrain generated, and the log says why in one line.

#include "elevation/ElevationLoader.h"

ElevationTerrain ElevationLoader::Load(const HeightmapFile& /*file*/) {
    ElevationTerrain terrain;
    terrain.Failure = "this build reads no elevation files";
    return terrain;
}
