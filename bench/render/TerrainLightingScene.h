#pragma once
// The scene the lighting benchmarks light: a hilly square terrain in the buffers of a host that
// copies on Set (CopyingHost.h), already lit once as the engine's initialisation does, and the light
// turning round in large steps, so that every direction is timed.

#include "CopyingHost.h"
#include "TerrainLightingGrids.h"
#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapGenerator.h"
#include "lighting/TerrainLighting.h"
#include "platform/RuntimeRandom.h"
#include "render/Terrain.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

struct TerrainLightingScene {
    CopyingRenderer Device;
    Terrain Ground;
    int Side = 0;
    float LightAngle = 0.0f;

    explicit TerrainLightingScene(int side) : Side(side) {
        Heightmap grid(side, side);
        if (side <= 256) {
            const std::vector<float> heights = lighting_grids::Hills(side, side, 2024, 150);
            std::copy(heights.begin(), heights.end(), grid.Data);
        } else {
            // The engine's generator visits only each hill's cells: quick on big grids too.
            veltra::platform::RuntimeSrand(2024);
            HeightmapGenerator generator;
            std::unique_ptr<Heightmap> hills(generator.Generate(
                side, side, 150, static_cast<float>(side) / 32.0f, static_cast<float>(side) / 8.0f));
            hills->Square();
            hills->Normalize();
            hills->Scale(250.0f);
            std::copy(hills->Data, hills->Data + static_cast<std::ptrdiff_t>(side) * side, grid.Data);
        }
        Ground.Build(&Device, &grid);
        TerrainLighting::Module().Reset();
        Ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    }

    // The next light direction: a golden angle further round, so that a few calls sample every
    // direction (rows and columns, either way) as the frames of a whole circle do.
    void NextLight(float& x, float& y, float& z) {
        LightAngle += 2.3999632f;
        x = 45.0f * std::cos(LightAngle);
        y = -15.0f;
        z = 45.0f * std::sin(LightAngle);
    }

    // What the lighting before the terrain kept its own heights and normals did first on a host
    // whose Get is not one array: every vertex read back with GetVertex.
    void ReadBack(std::vector<TerrainVertex>& into) {
        into.resize(static_cast<std::size_t>(Side) * Side);
        std::size_t at = 0;
        for (std::size_t t = 0; t < Ground.TileCount(); ++t)
            for (int n = 0; n < Ground.TileArea(t).Rows * Ground.TileArea(t).Columns && at < into.size(); ++n)
                Ground.TileVertices(t).GetVertex(n, &into[at++]);
    }

    // The whole grid as built, for the plain version.
    std::vector<TerrainVertex> Vertices() const {
        std::vector<TerrainVertex> vertices;
        for (int r = 0; r < Side; ++r)
            for (int c = 0; c < Side; ++c)
                vertices.push_back(Ground.VertexAt(r, c, 0xFFFFFFFF));
        return vertices;
    }

    int VertexCount() const { return Side * Side; }
};
