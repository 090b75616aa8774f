#pragma once
// The scene the engine owns from Init to Release: one heightmap, the terrain built from it, a box,
// and the terrain's texture (a device handle; the device owns the texture).

#include <cstdint>

class BoxMesh;
class Heightmap;
class Log;
class Renderer;
class Terrain;

extern Heightmap* SceneHeightmap;
extern Terrain* SceneTerrain;
extern BoxMesh* SceneBox;
extern std::uint32_t GridTexture;

// Takes the heightmap from the raster heightmap_file names, or, without one or when it cannot be
// loaded, seeds the random draws from the clock and generates and shapes the heightmap from the
// generator's settings (bounded, each bound logged); builds the terrain and the box, and loads "grid.bmp".
// Frees any scene already there first.
void BuildScene(Renderer* device, Log& log);
// Deletes the box, the terrain and the heightmap, in this order, and forgets them.
void ReleaseScene();
