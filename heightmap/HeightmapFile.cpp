#include "heightmap/HeightmapFile.h"

HeightmapFile HeightmapFileInstance;
