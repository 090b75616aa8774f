// The terrain's lighting through a host that does only what the contract says, against the plain
// reference version (identical bytes on the host's vertices), and grids that the sweep cannot use.

#include "TerrainLightingGrids.h"
#include "TerrainLightingOracle.h"
#include "heightmap/Heightmap.h"
#include "render/Terrain.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

namespace {

class TerrainLightingTest : public ::testing::Test {
protected:
    // The module's lighting is shared by every terrain: each test starts from the state at load.
    void SetUp() override { Device.Log->Enabled = false; }
    void TearDown() override { TerrainLighting::Module().Reset(), TerrainLighting::Module().SetThreads(0); }

    RecordingRenderer Device;
    Terrain Ground;
};

// One lighting lights every grid in turn, so each new shape must start from clean storage (the second
// keeps the width and grows taller, the third keeps that height and widens). Square and oblong grids
// both ways round, two wide (nothing inside), smooth and rough, tiled ones, big ones shared between
// threads.
TEST_F(TerrainLightingTest, MatchesThePlainVersionOnEveryGridLightAndThreadCount) {
    // Width, height, threads (0: one per core), noise.
    const std::tuple<int, int, int, float> cases[] = {
        {3, 3, 1, 0.0f},     {3, 150, 1, 60.0f},  {7, 150, 1, 0.0f},  {50, 50, 1, 0.0f},
        {23, 61, 1, 250.0f}, {61, 23, 1, 20.0f},  {110, 97, 2, 0.0f}, {256, 256, 2, 5.0f},
        {90, 700, 3, 0.0f},  {700, 90, 0, 30.0f}, {2, 5, 1, 30.0f},   {5, 2, 2, 0.0f}};
    // Both line orientations, all four quadrants, the axes, ties between |x| and |z|, lights straight
    // down, skimming the ground and from below (no shadows), then a light circling as the frame
    // loop's does.
    std::vector<std::array<float, 3>> lights = {
        {100, -35, 0},  {-100, -35, 0},     {0, -35, 100}, {0, -35, -100}, {30, -20, 30},  {-30, -20, 30},
        {30, -20, -30}, {-30, -20, -30},    {45, -15, 12}, {-45, -15, 12}, {12, -15, -45}, {-12, -15, -45},
        {7, -90, -3},   {-0.5f, -1, 0.25f}, {0, -1, 0},    {1, 0, 0},      {20, 10, 5}};
    for (int frame = 0; frame < 12; ++frame)
        lights.push_back({45.0f * std::cos(0.55f * frame), -15.0f, 45.0f * std::sin(0.55f * frame)});
    unsigned seed = 1;
    for (const auto& [width, height, threads, noise] : cases) {
        SCOPED_TRACE(testing::Message() << width << " x " << height << ", " << threads << " threads");
        Heightmap grid(width, height);
        std::ranges::copy(lighting_grids::Hills(width, height, ++seed, 40, noise), grid.Data);
        Ground.Build(&Device, &grid);
        std::vector<TerrainVertex> reference = TerrainReadBack::From(Device).Grid; // the host's vertices
        TerrainLightingOracle oracle;
        TerrainLighting::Module().SetThreads(threads);
        const std::size_t calls = width * height > 30000 ? 10 : lights.size(); // big grids: axes and ties
        for (std::size_t call = 0; call < calls; ++call) {
            const auto [x, y, z] = lights[call];
            const int smoothing = static_cast<int>(call % 8) + 1; // 1 first: the shown level starts afresh
            // The same direction at a scale whose squares would leave the float range.
            const float scale = std::ldexp(1.0f, static_cast<int>(call % 3) * 100 - 100);
            Ground.UpdateLighting(nullptr, x * scale, y * scale, z * scale, smoothing);
            oracle.UpdateLighting(reference, width, height, 1000.0f, 1000.0f, x, y, z, smoothing);
            const TerrainReadBack lit = TerrainReadBack::From(Device);
            ASSERT_TRUE(lit.Whole) << "a vertex differs between the tiles that hold it";
            for (std::size_t n = 0; n < reference.size(); ++n) // the colour, and nothing else changed
                ASSERT_EQ(std::memcmp(&lit.Grid[n], &reference[n], sizeof reference[n]), 0)
                    << call << ": " << n;
        }
    }
}

// Vertices far outside the extents have no horizon slot, vertices that are not numbers give no number
// to work with: neither may reach memory outside the storage (the sanitizers watch) or a colour.
TEST(TerrainLightingRefusalTest, GridsItCannotLightAreRefusedAndBrokenVerticesStaySafe) {
    TerrainLighting lighting;
    const SurfacePoint points[4] = {};
    const float along[2] = {-500.0f, 500.0f};
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {-5, 5}, {4097, 2}, {2, 4097}})
        EXPECT_FALSE(lighting.Update({points, along, along, width, height}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_FALSE(lighting.Update({nullptr, along, along, 2, 2}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_FALSE(lighting.Update({points, nullptr, along, 2, 2}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_FALSE(lighting.Update({points, along, nullptr, 2, 2}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_TRUE(lighting.Update({points, along, along, 2, 2}, 100.0f, -35.0f, 0.0f, 3));

    const int size = 30;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<SurfacePoint> surface(size * size, SurfacePoint{0.0f, 1.0f, 0.0f, 0.0f});
    std::vector<float> rowX(size), columnZ(size);
    for (int i = 0; i < size; ++i)
        rowX[i] = 7.0f * (i * 1000.0f / (size - 1) - 500.0f),
        columnZ[i] = -5.0f * (i * 1000.0f / (size - 1) - 500.0f);
    rowX[3] = columnZ[9] = surface[7 * size + 8].Y = surface[12 * size + 12].NY = nan;
    surface[100].Y = 250.0f;
    for (int call = 0; call < 3; ++call)
        EXPECT_TRUE(lighting.Update({surface.data(), rowX.data(), columnZ.data(), size, size},
                                    30.0f - 20.0f * call, -15.0f, 30.0f, 2));
}

} // namespace
