#pragma once
// Terrain grids for the lighting tests, laid out as the terrain mesh lays out its vertices: row r at
// world x = r / (H - 1) * 1000 - 500, column c at z = c / (W - 1) * 1000 - 500, interior normals
// from the four neighbours.

#include "render/TerrainLighting.h"
#include "render/TerrainVertex.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace lighting_grids {

constexpr float Extent = 1000.0f;

inline float Along(int index, int count) {
    return static_cast<float>(index) / static_cast<float>(count - 1) * Extent - Extent / 2.0f;
}

inline std::vector<TerrainVertex> Build(int width, int height, const std::vector<float>& heights) {
    std::vector<TerrainVertex> grid(static_cast<std::size_t>(width) * height);
    for (int n = 0; n < width * height; ++n) {
        grid[n].X = Along(n / width, height);
        grid[n].Y = heights[n];
        grid[n].Z = Along(n % width, width);
    }
    // (right - left) x (up - down), normalised.
    for (int r = 1; r < height - 1; ++r) {
        for (int c = 1; c < width - 1; ++c) {
            const TerrainVertex &l = grid[r * width + c - 1], &rt = grid[r * width + c + 1];
            const TerrainVertex &d = grid[(r - 1) * width + c], &u = grid[(r + 1) * width + c];
            const float ax = rt.X - l.X, ay = rt.Y - l.Y, az = rt.Z - l.Z;
            const float bx = u.X - d.X, by = u.Y - d.Y, bz = u.Z - d.Z;
            const float nx = ay * bz - by * az, ny = az * bx - bz * ax, nz = ax * by - bx * ay;
            const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
            grid[r * width + c].NX = nx / length;
            grid[r * width + c].NY = ny / length;
            grid[r * width + c].NZ = nz / length;
        }
    }
    return grid;
}

// Random round hills, squared and ranged onto 0 .. 250 as the engine shapes its heightmap, with
// independent noise of the given size on top (shadow and light then alternate from vertex to vertex).
inline std::vector<float> Hills(int width, int height, unsigned seed, int hills = 40, float noise = 0.0f) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> heights(static_cast<std::size_t>(width) * height, 0.0f);
    const float largest = std::max(2.0f, static_cast<float>(std::min(width, height)) / 4.0f);
    for (int hill = 0; hill < hills; ++hill) {
        const float cx = unit(random) * static_cast<float>(width);
        const float cy = unit(random) * static_cast<float>(height);
        const float radius = 1.0f + unit(random) * largest;
        for (int n = 0; n < width * height; ++n) {
            const float dx = static_cast<float>(n % width) - cx, dy = static_cast<float>(n / width) - cy;
            heights[n] += std::max(0.0f, radius * radius - (dx * dx + dy * dy));
        }
    }
    for (float& h : heights)
        h *= h;
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    const float lowest = *low, range = *high - *low;
    for (float& h : heights)
        h = (range > 0.0f ? (h - lowest) / range * 250.0f : 0.0f) + noise * unit(random);
    return heights;
}

// Lights a grid as the terrain does: the grey levels become the interior vertices' colours.
inline bool Light(TerrainLighting& lighting, std::vector<TerrainVertex>& vertices, int width, int height,
                  float x, float y, float z, int smoothing) {
    std::vector<SurfacePoint> points(vertices.size());
    for (std::size_t n = 0; n < vertices.size(); ++n)
        points[n] = {vertices[n].NX, vertices[n].NY, vertices[n].NZ, vertices[n].Y};
    std::vector<float> rowX(static_cast<std::size_t>(height)), columnZ(static_cast<std::size_t>(width));
    for (int r = 0; r < height; ++r)
        rowX[r] = vertices[static_cast<std::size_t>(r) * width].X;
    for (int c = 0; c < width; ++c)
        columnZ[c] = vertices[static_cast<std::size_t>(c)].Z;
    if (!lighting.Update({points.data(), rowX.data(), columnZ.data(), width, height, Extent, Extent}, x, y, z,
                         smoothing))
        return false;
    for (int r = 1; r < height - 1; ++r)
        for (int c = 1; c < width - 1; ++c)
            vertices[r * width + c].Diffuse = lighting.GreyAt(r * width + c) * 0x01010101u;
    return true;
}

} // namespace lighting_grids
