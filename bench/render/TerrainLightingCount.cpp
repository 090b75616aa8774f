// Frame lighting updates for instruction counts under callgrind:
//   terrain_lighting_count engine|frames|plain SIDE CALLS [ANGLE [THREADS]]
// The scene is built and lit once first (as at the engine's initialisation); only the CALLS
// updates inside CountedLighting are counted. The light starts at ANGLE radians (default 0) and
// turns a golden angle each call, or, for frames, 0.003 radians as the engine's frames turn it; the
// engine's lighting runs on THREADS threads (default 1). bench/render/count-instructions runs every case.

#include "TerrainLightingOracle.h"
#include "TerrainLightingScene.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((noinline, used)) void CountedLighting(TerrainLightingScene* scene,
                                                                TerrainLightingOracle* plain,
                                                                std::vector<TerrainVertex>* vertices,
                                                                int calls, bool frames) {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (int call = 0; call < calls; ++call) {
        if (frames) {
            scene->LightAngle += 0.003f;
            x = 45.0f * std::cos(scene->LightAngle), y = -15.0f, z = 45.0f * std::sin(scene->LightAngle);
        } else {
            scene->NextLight(x, y, z);
        }
        if (plain == nullptr)
            scene->Ground.UpdateLighting(nullptr, x, y, z, 3);
        else
            plain->UpdateLighting(*vertices, scene->Side, scene->Side, 1000.0f, 1000.0f, x, y, z, 3);
    }
}

int main(int argc, char** argv) {
    const bool frames = argc >= 4 && std::strcmp(argv[1], "frames") == 0;
    const bool engine = frames || (argc >= 4 && std::strcmp(argv[1], "engine") == 0);
    if (argc < 4 || argc > 6 || (!engine && std::strcmp(argv[1], "plain") != 0)) {
        std::fprintf(stderr, "usage: %s engine|frames|plain SIDE CALLS [ANGLE [THREADS]]\n", argv[0]);
        return 2;
    }
    const int side = std::atoi(argv[2]);
    const int calls = std::atoi(argv[3]);
    if (side < 3 || side > 4096 || calls < 1) {
        std::fprintf(stderr, "SIDE must be 3..4096 and CALLS at least 1\n");
        return 2;
    }
    TerrainLighting::Module().SetThreads(1);
    TerrainLightingScene scene(side);
    // Helper threads start with the first counted call: their whole work is counted, and only it.
    TerrainLighting::Module().SetThreads(argc == 6 ? std::atoi(argv[5]) : 1);
    scene.LightAngle = argc >= 5 ? static_cast<float>(std::atof(argv[4])) : 0.0f;
    TerrainLightingOracle plain;
    std::vector<TerrainVertex> vertices;
    if (!engine) { // the reference's own first call, so both count steady-state calls only
        vertices = scene.Vertices();
        plain.UpdateLighting(vertices, side, side, 1000.0f, 1000.0f, 100.0f, -35.0f, 0.0f, 3);
    }
    CountedLighting(&scene, engine ? nullptr : &plain, &vertices, calls, frames);
    const int middle = side * side / 2 + side / 2;
    std::printf("%08x\n", engine ? scene.Ground.VertexAt(middle / side, middle % side, 0).Y > 0.0f ? 1u : 0u
                                 : vertices[static_cast<std::size_t>(middle)].Diffuse);
    return 0;
}
