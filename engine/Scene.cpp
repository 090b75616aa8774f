#include "engine/Scene.h"

#include "heightmap/ElevationLoader.h"
#include "heightmap/GenerationBounds.h"
#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapFile.h"
#include "heightmap/HeightmapGenerator.h"
#include "host/Renderer.h"
#include "log/Log.h"
#include "platform/Platform.h"
#include "platform/RuntimeRandom.h"
#include "render/BoxMesh.h"
#include "render/Terrain.h"

#include <cstdio>
#include <string>

Heightmap* SceneHeightmap = nullptr;
Terrain* SceneTerrain = nullptr;
BoxMesh* SceneBox = nullptr;
std::uint32_t GridTexture = 0;

namespace {
// The script sets the generator's fields unchecked; log every value that had to be bounded.
GenerationBounds BoundedGeneration(Log& log) {
    const GenerationBounds bounds = GenerationBounds::For(GeneratorInstance);
    if (bounds.SizeBounded)
        log.Write("-> Grid size %d x %d requested, %d x %d used", GeneratorInstance.Width,
                  GeneratorInstance.Height, bounds.Width, bounds.Height);
    if (bounds.RadiiBounded)
        log.Write("-> Hill radii %d to %d requested, %d to %d used", GeneratorInstance.MinHillRadius,
                  GeneratorInstance.MaxHillRadius, bounds.MinHillRadius, bounds.MaxHillRadius);
    if (bounds.HillsBounded)
        log.Write("-> Hills %d requested, %d raised", GeneratorInstance.NbHills, bounds.NbHills);
    return bounds;
}
} // namespace

namespace {
// The scene over the raster that heightmap_file names, when it names one and it loads. Otherwise
// false, with the reason in the log and on standard error: the scene is then generated.
bool BuildSceneFromFile(Renderer* device, Log& log) {
    const HeightmapFile& file = HeightmapFileInstance;
    if (file.Path.empty())
        return false;
    ElevationTerrain loaded = ElevationLoader::Load(file);
    for (const std::string& note : loaded.Notes)
        log.Write("%s", note.c_str());
    if (loaded.Grid == nullptr) {
        log.Write("-> Terrain file %s: %s; hills generated instead", file.Path.c_str(),
                  loaded.Failure.c_str());
        std::fprintf(stderr, "Terrain file %s: %s; hills generated instead\n", file.Path.c_str(),
                     loaded.Failure.c_str());
        return false;
    }
    SceneHeightmap = loaded.Grid.release();
    SceneTerrain = new Terrain();
    SceneTerrain->ExtentX = loaded.ExtentX;
    SceneTerrain->ExtentZ = loaded.ExtentZ;
    SceneTerrain->Build(device, SceneHeightmap);

    SceneBox = new BoxMesh(device, 1.0f, 0, 0, 0);

    GridTexture = device != nullptr ? device->LoadTexture("grid.bmp") : 0;
    SceneTerrain->GetTexture() = GridTexture;
    return true;
}
} // namespace

void BuildScene(Renderer* device, Log& log) {
    ReleaseScene();
    if (BuildSceneFromFile(device, log))
        return;
    // A script that sets Seed asks for the same terrain every run; otherwise every run differs.
    const unsigned seed =
        GeneratorInstance.Seed >= 0 ? static_cast<unsigned>(GeneratorInstance.Seed) : timeGetTime();
    veltra::platform::RuntimeSrand(seed);

    const GenerationBounds bounds = BoundedGeneration(log);
    // Within bounds this is exactly what the argument-less Generate makes from the fields.
    SceneHeightmap = GeneratorInstance.Generate(bounds.Width, bounds.Height, bounds.NbHills,
                                                static_cast<float>(bounds.MinHillRadius),
                                                static_cast<float>(bounds.MaxHillRadius));
    SceneHeightmap->Square();
    SceneHeightmap->Normalize();
    SceneHeightmap->Scale(250.0f);
    log.Write("-> Terrain %d x %d, %d hills of radius %d to %d, seed %u", bounds.Width, bounds.Height,
              bounds.NbHills, bounds.MinHillRadius, bounds.MaxHillRadius, seed);

    SceneTerrain = new Terrain();
    SceneTerrain->Build(device, SceneHeightmap);

    SceneBox = new BoxMesh(device, 1.0f, 0, 0, 0);

    GridTexture = device != nullptr ? device->LoadTexture("grid.bmp") : 0;
    SceneTerrain->GetTexture() = GridTexture;
}

void ReleaseScene() {
    delete SceneBox;
    SceneBox = nullptr;
    delete SceneTerrain;
    SceneTerrain = nullptr;
    delete SceneHeightmap;
    SceneHeightmap = nullptr;
    GridTexture = 0;
}
