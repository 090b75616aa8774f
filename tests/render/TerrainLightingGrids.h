#pragma once

// Terrain grids for the lighting tests, laid out as the terrain mesh lays out its vertices: row r at
// world x = r / (H - 1) * 1000 - 500, column c at z = c / (W - 1) * 1000 - 500, interior normals
// from the four neighbours, every vertex opaque white.

#include "render/TerrainLighting.h"
#include "render/TerrainVertex.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace lighting_grids {

constexpr float Extent = 1000.0f;

inline float Along(int index, int count) {
    return count > 1 ? static_cast<float>(index) / static_cast<float>(count - 1) * Extent - Extent / 2.0f
                     : 0.0f;
}

inline std::vector<TerrainVertex> Build(int width, int height, const std::vector<float>& heights) {
    std::vector<TerrainVertex> grid(static_cast<std::size_t>(width) * height);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            TerrainVertex& v = grid[r * width + c];
            v.X = Along(r, height);
            v.Y = heights[r * width + c];
            v.Z = Along(c, width);
        }
    }
    // Normal of the quadrilateral through the four neighbours: (R - L) x (U - D), normalised.
    for (int r = 1; r < height - 1; ++r) {
        for (int c = 1; c < width - 1; ++c) {
            const TerrainVertex& left = grid[r * width + c - 1];
            const TerrainVertex& right = grid[r * width + c + 1];
            const TerrainVertex& down = grid[(r - 1) * width + c];
            const TerrainVertex& up = grid[(r + 1) * width + c];
            const float ax = right.X - left.X, ay = right.Y - left.Y, az = right.Z - left.Z;
            const float bx = up.X - down.X, by = up.Y - down.Y, bz = up.Z - down.Z;
            const float nx = ay * bz - by * az, ny = az * bx - bz * ax, nz = ax * by - bx * ay;
            const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
            TerrainVertex& v = grid[r * width + c];
            v.NX = nx / length;
            v.NY = ny / length;
            v.NZ = nz / length;
        }
    }
    return grid;
}

inline std::vector<float> Flat(int width, int height) {
    return std::vector<float>(static_cast<std::size_t>(width) * height, 0.0f);
}

// Random round hills, squared and ranged onto 0 .. 250 as the engine shapes its heightmap.
inline std::vector<float> Hills(int width, int height, unsigned seed, int hills = 40) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> heights = Flat(width, height);
    const float largestRadius = std::max(2.0f, static_cast<float>(std::min(width, height)) / 4.0f);
    for (int hill = 0; hill < hills; ++hill) {
        const float cx = unit(random) * static_cast<float>(width);
        const float cy = unit(random) * static_cast<float>(height);
        const float radius = 1.0f + unit(random) * largestRadius;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const float ddx = static_cast<float>(x) - cx, ddy = static_cast<float>(y) - cy;
                heights[y * width + x] += std::max(0.0f, radius * radius - (ddx * ddx + ddy * ddy));
            }
        }
    }
    for (float& h : heights)
        h *= h;
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    const float lowest = *low, range = *high - *low;
    for (float& h : heights)
        h = range > 0.0f ? (h - lowest) / range * 250.0f : 0.0f;
    return heights;
}

// Every height independent: shadow and light alternate from vertex to vertex.
inline std::vector<float> Rough(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> height250(0.0f, 250.0f);
    std::vector<float> heights = Flat(width, height);
    for (float& h : heights)
        h = height250(random);
    return heights;
}

inline std::uint32_t Grey(std::uint32_t diffuse) {
    return diffuse & 0xFFu;
}

inline bool IsGrey(std::uint32_t diffuse) {
    return diffuse == Grey(diffuse) * 0x01010101u;
}

// Lights a grid of vertices as the terrain does: the lighting reads heights, normals and each row's
// x and each column's z, and its grey levels become the interior vertices' colours.
inline bool Light(TerrainLighting& lighting, std::vector<TerrainVertex>& vertices, int width, int height,
                  float x, float y, float z, int smoothing) {
    std::vector<SurfacePoint> points(vertices.size());
    for (std::size_t n = 0; n < vertices.size(); ++n)
        points[n] = {vertices[n].NX, vertices[n].NY, vertices[n].NZ, vertices[n].Y};
    std::vector<float> rowX(static_cast<std::size_t>(std::max(height, 0))),
        columnZ(static_cast<std::size_t>(std::max(width, 0)));
    for (int r = 0; r < height && width > 0; ++r)
        rowX[r] = vertices[static_cast<std::size_t>(r) * width].X;
    for (int c = 0; c < width && height > 0; ++c)
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
