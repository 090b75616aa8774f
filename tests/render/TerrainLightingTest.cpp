// The lighting against its plain reference version (identical colour bytes), and what the reference
// cannot show: the flat-ground figures, easing, the untouched outer ring, and sound results for
// lights, smoothing values and grids that the sweep cannot use.

#include "render/TerrainLighting.h"
#include "TerrainLightingGrids.h"
#include "TerrainLightingOracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace lighting_grids;

struct Case {
    int Width, Height, Threads; // Threads 0: one per core
    float Noise;
};

// One lighting object lights every grid in turn, so each new shape must start from clean storage.
// Square and oblong grids both ways round, smooth and rough; big ones shared between threads.
TEST(TerrainLightingTest, MatchesThePlainVersionOnEveryGridLightAndThreadCount) {
    const Case cases[] = {{3, 3, 1, 0.0f},     {4, 7, 1, 60.0f},   {7, 4, 1, 0.0f},    {50, 50, 1, 0.0f},
                          {23, 61, 1, 250.0f}, {61, 23, 1, 20.0f}, {110, 97, 2, 0.0f}, {256, 256, 2, 5.0f},
                          {90, 700, 3, 0.0f},  {700, 90, 0, 30.0f}};
    // Both line orientations, all four quadrants, the axes, ties between |x| and |z|, then a light
    // circling as the frame loop's does.
    std::vector<std::array<float, 3>> lights = {
        {100, -35, 0},  {-100, -35, 0},  {0, -35, 100},   {0, -35, -100},    {30, -20, 30},
        {-30, -20, 30}, {30, -20, -30},  {-30, -20, -30}, {45, -15, 12},     {-45, -15, 12},
        {12, -15, -45}, {-12, -15, -45}, {7, -90, -3},    {-0.5f, -1, 0.25f}};
    for (int frame = 0; frame < 12; ++frame)
        lights.push_back({45.0f * std::cos(0.55f * frame), -15.0f, 45.0f * std::sin(0.55f * frame)});
    TerrainLighting lighting;
    unsigned seed = 1;
    for (const Case& shape : cases) {
        SCOPED_TRACE(testing::Message()
                     << shape.Width << " x " << shape.Height << ", " << shape.Threads << " threads");
        std::vector<TerrainVertex> engine =
            Build(shape.Width, shape.Height, Hills(shape.Width, shape.Height, ++seed, 40, shape.Noise));
        std::vector<TerrainVertex> reference = engine;
        TerrainLightingOracle oracle;
        lighting.SetThreads(shape.Threads);
        for (std::size_t call = 0; call < lights.size(); ++call) {
            const auto [x, y, z] = lights[call];
            const int smoothing = static_cast<int>(call % 8) + 1; // 1 first: the shown level starts afresh
            ASSERT_TRUE(Light(lighting, engine, shape.Width, shape.Height, x, y, z, smoothing));
            oracle.UpdateLighting(reference, shape.Width, shape.Height, Extent, Extent, x, y, z, smoothing);
            for (std::size_t n = 0; n < engine.size(); ++n)
                ASSERT_EQ(engine[n].Diffuse, reference[n].Diffuse) << "call " << call << " vertex " << n;
        }
    }
}

std::uint32_t GreyAt(const std::vector<TerrainVertex>& grid, int width, int row, int column) {
    const std::uint32_t diffuse = grid[row * width + column].Diffuse;
    EXPECT_EQ(diffuse, (diffuse & 0xFF) * 0x01010101u);
    return diffuse & 0xFF;
}

TEST(TerrainLightingTest, FlatGroundFiguresEasingAndAnUntouchedRing) {
    const int size = 20;
    std::vector<TerrainVertex> grid = Build(size, size, std::vector<float>(size * size, 0.0f));
    for (TerrainVertex& v : grid)
        v.Diffuse = 0x12345678; // no grey level looks like this
    TerrainLighting lighting;
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 0xD1u); // a third of the way from full brightness
    for (int call = 0; call < 60; ++call)
        Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 118u);
    EXPECT_EQ(GreyAt(grid, size, 1, 10), 94u); // next to one border edge
    EXPECT_EQ(GreyAt(grid, size, 10, size - 2), 94u);
    EXPECT_EQ(GreyAt(grid, size, size - 2, size - 2), 71u); // next to a border corner
    // Straight down onto flat ground the diffuse term is 1; smoothing 1 shows it at once.
    Light(lighting, grid, size, size, 0.0f, -1.0f, 0.0f, 1);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 255u);
    EXPECT_EQ(GreyAt(grid, size, 1, 10), 204u);
    EXPECT_EQ(GreyAt(grid, size, 1, 1), 153u);
    for (int n = 0; n < size * size; ++n) {
        const bool ring = n / size == 0 || n % size == 0 || n / size == size - 1 || n % size == size - 1;
        EXPECT_TRUE(!ring || grid[n].Diffuse == 0x12345678u) << "ring vertex " << n;
    }
    // After Reset the next call starts from full brightness again.
    lighting.Reset();
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 0xD1u);
}

// Lights the sweep cannot use give the reference's ambient light (flat ground, light skimming it);
// oversized and tiny vectors light as their direction; smoothing below 1 counts as 1.
TEST(TerrainLightingTest, UnusableLightsAndSmoothingGiveSoundColours) {
    const int size = 16;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    std::vector<TerrainVertex> ambient = Build(size, size, std::vector<float>(size * size, 0.0f));
    TerrainLightingOracle().UpdateLighting(ambient, size, size, Extent, Extent, 1.0f, 0.0f, 0.0f, 1);
    for (const auto& [x, y, z] : {std::array{0.0f, 0.0f, 0.0f},
                                  {nan, -35.0f, 0.0f},
                                  {100.0f, nan, 0.0f},
                                  {0.0f, 0.0f, nan},
                                  {inf, -35.0f, 0.0f},
                                  {100.0f, -inf, 0.0f},
                                  {-inf, inf, -inf}}) {
        std::vector<TerrainVertex> grid = Build(size, size, Hills(size, size, 3));
        TerrainLighting lighting;
        Light(lighting, grid, size, size, x, y, z, 1);
        for (int n = 0; n < size * size; ++n)
            ASSERT_EQ(grid[n].Diffuse, ambient[n].Diffuse) << x << ", " << y << ", " << z << " vertex " << n;
    }
    std::vector<TerrainVertex> reference = Build(size, size, Hills(size, size, 5));
    TerrainLightingOracle().UpdateLighting(reference, size, size, Extent, Extent, 40.0f, -15.0f, 21.0f, 1);
    for (const auto& [scale, smoothing] :
         {std::pair{0x1p90f, 1}, {0x1p-100f, 1}, {1.0f, 0}, {1.0f, std::numeric_limits<int>::min()}}) {
        std::vector<TerrainVertex> grid = Build(size, size, Hills(size, size, 5));
        TerrainLighting lighting;
        Light(lighting, grid, size, size, 40.0f * scale, -15.0f * scale, 21.0f * scale, smoothing);
        for (int n = 0; n < size * size; ++n)
            ASSERT_EQ(grid[n].Diffuse, reference[n].Diffuse) << scale << ", " << smoothing << " vertex " << n;
    }
}

// Vertices far outside the extents have no horizon slot, vertices that are not numbers give no number
// to work with: neither may reach memory outside the storage (the sanitizers watch) or a colour.
TEST(TerrainLightingTest, GridsItCannotLightAreRefusedAndBrokenVerticesStaySafe) {
    TerrainLighting lighting;
    const SurfacePoint points[4] = {};
    const float along[2] = {-500.0f, 500.0f};
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {-5, 5}, {4097, 2}, {2, 4097}})
        EXPECT_FALSE(
            lighting.Update({points, along, along, width, height, Extent, Extent}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_FALSE(lighting.Update({nullptr, along, along, 2, 2, Extent, Extent}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_TRUE(lighting.Update({points, along, along, 2, 2, Extent, Extent}, 100.0f, -35.0f, 0.0f, 3));

    const int size = 30;
    std::vector<TerrainVertex> grid = Build(size, size, Hills(size, size, 31));
    for (TerrainVertex& v : grid) {
        v.X *= 7.0f;
        v.Z *= -5.0f;
    }
    grid[3 * size].X = std::numeric_limits<float>::quiet_NaN();
    grid[7 * size + 8].Y = std::numeric_limits<float>::quiet_NaN();
    grid[12 * size + 12].NY = std::numeric_limits<float>::infinity();
    for (int call = 0; call < 3; ++call)
        Light(lighting, grid, size, size, 30.0f - 20.0f * call, -15.0f, 30.0f, 2);
    for (int r = 1; r < size - 1; ++r)
        for (int c = 1; c < size - 1; ++c)
            GreyAt(grid, size, r, c);
}

} // namespace
