// Frame lighting updates for instruction counts under callgrind:
//   terrain_lighting_count engine|plain SIDE CALLS [ANGLE]
// The scene is built and lit once first (as at the engine's initialisation); only the CALLS
// updates inside CountedLighting are counted. The light starts at ANGLE radians (default 0).
// bench/render/count-instructions runs every case.

#include "TerrainLightingOracle.h"
#include "TerrainLightingScene.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((noinline, used)) void CountedLighting(TerrainLightingScene* scene,
                                                                TerrainLightingOracle* plain, int calls) {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (int call = 0; call < calls; ++call) {
        scene->NextLight(x, y, z);
        if (plain == nullptr)
            scene->Ground.UpdateLighting(nullptr, x, y, z, 3);
        else
            plain->UpdateLighting(*scene->Ground.Tiles.front().Mesh, scene->Side, scene->Side, 1000.0f,
                                  1000.0f, x, y, z, 3);
    }
}

int main(int argc, char** argv) {
    const bool engine = argc >= 4 && std::strcmp(argv[1], "engine") == 0;
    if (argc < 4 || argc > 5 || (!engine && std::strcmp(argv[1], "plain") != 0)) {
        std::fprintf(stderr, "usage: %s engine|plain SIDE CALLS [ANGLE]\n", argv[0]);
        return 2;
    }
    const int side = std::atoi(argv[2]);
    const int calls = std::atoi(argv[3]);
    if (side < 3 || side > 256 || calls < 1) {
        std::fprintf(stderr, "SIDE must be 3..256 and CALLS at least 1\n");
        return 2;
    }
    TerrainLightingScene scene(side);
    scene.LightAngle = argc == 5 ? static_cast<float>(std::atof(argv[4])) : 0.0f;
    TerrainLightingOracle plain;
    if (!engine) // the reference's own first call, so both count steady-state calls only
        plain.UpdateLighting(*scene.Ground.Tiles.front().Mesh, side, side, 1000.0f, 1000.0f, 100.0f, -35.0f,
                             0.0f, 3);
    CountedLighting(&scene, engine ? nullptr : &plain, calls);
    TerrainVertex middle;
    scene.Ground.Tiles.front().Mesh->GetVertex(side * side / 2 + side / 2, &middle);
    std::printf("%08x\n", middle.Diffuse);
    return 0;
}
