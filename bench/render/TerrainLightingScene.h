#pragma once
// The scene the lighting benchmarks light: a hilly square terrain in plain in-memory host buffers,
// already lit once as the engine's initialisation does, and the light circling as it does per frame.

#include "CopyingHost.h"
#include "TerrainLightingGrids.h"
#include "heightmap/Heightmap.h"
#include "render/Terrain.h"
#include "render/TerrainLighting.h"

#include <algorithm>
#include <cmath>
#include <vector>

struct TerrainLightingScene {
    CopyingRenderer Device;
    Terrain Ground;
    int Side = 0;
    float LightAngle = 0.0f;

    explicit TerrainLightingScene(int side) : Side(side) {
        const std::vector<float> heights = lighting_grids::Hills(side, side, 2024, 150);
        Heightmap grid(side, side);
        std::copy(heights.begin(), heights.end(), grid.Data);
        Ground.Build(&Device, &grid);
        TerrainLighting::Module().Reset();
        Ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    }

    // The next frame's light direction, 0.003 radians further round.
    void NextLight(float& x, float& y, float& z) {
        LightAngle += 0.003f;
        x = 45.0f * std::cos(LightAngle);
        y = -15.0f;
        z = 45.0f * std::sin(LightAngle);
    }

    int VertexCount() const { return Side * Side; }
};
