#include "engine/Scene.h"

#include "elevation/ElevationLoader.h"
#include "heightmap/GenerationBounds.h"
#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapFile.h"
#include "heightmap/HeightmapGenerator.h"
#include "heightmap/TextFormat.h"
#include "host/Renderer.h"
#include "log/Log.h"
#include "platform/Platform.h"
#include "platform/RuntimeRandom.h"
#include "render/BoxMesh.h"
#include "render/Terrain.h"
#include "script/ScriptBindings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

Heightmap* SceneHeightmap = nullptr;
Terrain* SceneTerrain = nullptr;
BoxMesh* SceneBox = nullptr;
std::uint32_t GridTexture = 0;

namespace {
// How the script gave a setting: as written when the int field could not hold it, else the field.
std::string Given(const char* property, std::int32_t field) {
    const auto& notHeld = GeneratorSettingsNotHeld();
    const auto found = notHeld.find(property);
    return found != notHeld.end() ? found->second : std::to_string(field);
}

bool Converted(const char* property) {
    return GeneratorSettingsNotHeld().count(property) != 0;
}

void LogRadii(Log& log, const GenerationBounds& bounds) {
    const std::int32_t first = GeneratorInstance.MinHillRadius;
    const std::int32_t second = GeneratorInstance.MaxHillRadius;
    const std::string given = Given("MinHillRadius", first) + " to " + Given("MaxHillRadius", second);
    if (bounds.RadiiBounded) {
        log.Write("-> Hill radii %s requested, %d to %d used", given.c_str(), bounds.MinHillRadius,
                  bounds.MaxHillRadius);
        return;
    }
    if (first <= second && first >= 0 && !Converted("MinHillRadius") && !Converted("MaxHillRadius"))
        return;
    // Radii are drawn from the first towards the second; a hill's size does not depend on the sign.
    const std::int32_t widest = std::max(std::abs(first), std::abs(second));
    const std::int32_t narrowest =
        (first < 0) != (second < 0) ? 0 : std::min(std::abs(first), std::abs(second));
    log.Write("-> Hill radii %s requested, hills of radius %d to %d raised", given.c_str(), narrowest,
              widest);
}

void LogHills(Log& log, const GenerationBounds& bounds) {
    const std::string given = Given("NbHills", GeneratorInstance.NbHills);
    const std::int32_t raised = std::max(bounds.NbHills, 0);
    if (bounds.HillsBounded) {
        // Fewer hills than asked changes the terrain: worth telling at once, not only in the log.
        char line[256];
        std::snprintf(
            line, sizeof(line),
            "-> Hills %s requested, %d raised: more would take too long for hills this size on this grid",
            given.c_str(), raised);
        log.Write("%s", line);
        std::fprintf(stderr, "%s\n", line);
    } else if (GeneratorInstance.NbHills < 0 || Converted("NbHills")) {
        log.Write("-> Hills %s requested, %d raised", given.c_str(), raised);
    }
}

void LogSeed(Log& log) {
    const std::int32_t seed = GeneratorInstance.Seed;
    if (!Converted("Seed") && seed >= -1) // -1, the default, asks for the clock
        return;
    if (seed >= 0)
        log.Write("-> Seed %s requested, %d used", Given("Seed", seed).c_str(), seed);
    else
        log.Write("-> Seed %s requested, the clock used", Given("Seed", seed).c_str());
}

// The script sets the generator's fields unchecked; log every value that had to be bounded, or that
// the generator takes otherwise than it was written.
GenerationBounds BoundedGeneration(Log& log) {
    const GenerationBounds bounds = GenerationBounds::For(GeneratorInstance);
    if (bounds.SizeBounded || Converted("Width") || Converted("Height"))
        log.Write("-> Grid size %s x %s requested, %d x %d used",
                  Given("Width", GeneratorInstance.Width).c_str(),
                  Given("Height", GeneratorInstance.Height).c_str(), bounds.Width, bounds.Height);
    LogRadii(log, bounds);
    LogHills(log, bounds);
    LogSeed(log);
    return bounds;
}
} // namespace

namespace {
// A correction changes what the script asked for: worth telling at once, not only in the log.
void Correction(Log& log, const std::string& line) {
    log.Write("%s", line.c_str());
    std::fprintf(stderr, "%s\n", line.c_str());
}

// The heightmap_file settings the script gave with a value of the wrong kind: a line each, with
// what the file's field holds instead. False when a Path was given but was no text.
bool SayFileSettingsNotHeld(Log& log) {
    const HeightmapFile& file = HeightmapFileInstance;
    const std::pair<const char*, std::int32_t> whole[] = {
        {"Width", file.Width}, {"Height", file.Height},       {"CropX", file.CropX},
        {"CropY", file.CropY}, {"CropWidth", file.CropWidth}, {"CropHeight", file.CropHeight}};
    const auto& notHeld = HeightmapFileSettingsNotHeld();
    for (const auto& [property, given] : notHeld) {
        std::string used = "hills generated instead: a path is text, without a zero byte";
        if (property == "Exaggeration")
            used = TextFormat("%g used", file.Exaggeration);
        for (const auto& [name, field] : whole)
            if (property == name)
                used = TextFormat("%d used", field);
        Correction(log, TextFormat("-> Terrain file %s %s requested, %s", property.c_str(), given.c_str(),
                                   used.c_str()));
    }
    return notHeld.count("Path") == 0;
}

// The steps that close every way of building the scene: the terrain over SceneHeightmap, with the
// given extents, the box, and the texture both are drawn with.
void FinishScene(Renderer* device, float extentX, float extentZ) {
    SceneTerrain = new Terrain();
    SceneTerrain->ExtentX = extentX;
    SceneTerrain->ExtentZ = extentZ;
    SceneTerrain->Build(device, SceneHeightmap);

    SceneBox = new BoxMesh(device, 1.0f, 0, 0, 0);

    GridTexture = device != nullptr ? device->LoadTexture("grid.bmp") : 0;
    SceneTerrain->GetTexture() = GridTexture;
}

// The scene over the raster that heightmap_file names, when it names one and it loads. Otherwise
// false, with the reason in the log and on standard error: the scene is then generated.
bool BuildSceneFromFile(Renderer* device, Log& log) {
    const HeightmapFile& file = HeightmapFileInstance;
    // Without a path the other settings are never read.
    if (file.Path.empty() && HeightmapFileSettingsNotHeld().count("Path") == 0)
        return false;
    if (!SayFileSettingsNotHeld(log))
        return false;
    ElevationTerrain loaded = ElevationLoader::Load(file);
    for (const std::string& correction : loaded.Corrections)
        Correction(log, correction);
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
    FinishScene(device, loaded.ExtentX, loaded.ExtentZ);
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
    FinishScene(device, 1000.0f, 1000.0f); // generated terrain keeps its 1000 x 1000 square
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
