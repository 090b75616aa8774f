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
    // Width, height, threads (0: one per core), noise; the last two tiled, where two threads' shares
    // meet on a tile's border.
    const std::tuple<int, int, int, float> cases[] = {
        {3, 3, 1, 0.0f},    {3, 150, 1, 60.0f}, {7, 150, 1, 0.0f},   {50, 50, 1, 0.0f},  {23, 61, 1, 250.0f},
        {61, 23, 1, 20.0f}, {110, 97, 2, 0.0f}, {256, 256, 2, 5.0f}, {90, 700, 3, 0.0f}, {700, 90, 0, 30.0f},
        {2, 5, 1, 30.0f},   {5, 2, 2, 0.0f},    {256, 257, 2, 0.0f}, {257, 256, 2, 9.0f}};
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
        EXPECT_TRUE(TerrainLighting::Module().BandsExact()); // no band found its halo too narrow
    }
}

// A tiled terrain drawn from far above (coarse levels), from so far that the coarsest level's step
// (128) is wider than a tile (64 cells), low over a corner (level 0 beneath), turned round (most
// tiles behind the eye), and so on: the lighting goes only to the vertices drawn, and a tile drawn
// finer than last time, or again, catches up before it is drawn. The far tiles are 43 and 5 cells
// across, not 64, so their levels end off their step.
TEST_F(TerrainLightingTest, EveryVertexDrawnShowsTheLatestLighting) {
    const int width = 300, height = 390;
    Heightmap grid(width, height);
    std::ranges::copy(lighting_grids::Hills(width, height, 7, 40, 5.0f), grid.Data);
    Ground.Build(&Device, &grid);
    std::vector<TerrainVertex> reference = TerrainReadBack::From(Device).Grid;
    TerrainLightingOracle oracle;
    const TerrainEye above{0, 3000, 0, 0, -1, 0, 0}, far{0, 50000, 0, 0, -1, 0, 0},
        corner{-450, 30, -450, 0.7f, 0, 0.7f, 1.5f}, back{-450, 30, -450, -0.7f, 0, -0.7f, 1.5f};
    int coarse = 0, hidden = 0, coarsest = 0, frame = 0;
    for (const TerrainEye& eye : {above, corner, back, far, above, far, back, corner, far, above}) {
        const float angle = 0.7f * static_cast<float>(frame++); // a new light for every frame
        Ground.UpdateLighting(nullptr, 45.0f * std::cos(angle), -15.0f, 45.0f * std::sin(angle), 2);
        oracle.UpdateLighting(reference, width, height, 1000.0f, 1000.0f, 45.0f * std::cos(angle), -15.0f,
                              45.0f * std::sin(angle), 2);
        Device.Log->Enabled = true;
        Device.Log->Calls = {"BeginScene"};
        Ground.Render(&Device, eye);
        Device.EndScene(1);
        const TerrainReadBack held = TerrainReadBack::From(Device);
        const TerrainReadBack::Frame drawn = held.Drawn(Device);
        for (const auto& [n, colour] : drawn.Colours)
            ASSERT_EQ(colour, reference[static_cast<std::size_t>(n)].Diffuse)
                << "frame " << frame << ": " << n;
        coarse += static_cast<int>(
            std::count_if(drawn.Level.begin(), drawn.Level.end(), [](int l) { return l > 1; }));
        coarsest += static_cast<int>(std::count(drawn.Level.begin(), drawn.Level.end(), 7));
        hidden += static_cast<int>(std::count(drawn.Drawn.begin(), drawn.Drawn.end(), false));
    }
    EXPECT_TRUE(coarse > 0 && coarsest > 0 && hidden > 0) << coarse << " " << coarsest << " " << hidden;
}

// Ridges along the row and the column near the sides the light enters from, on flat ground, each
// with slopes `slope` cells wide: a vertex lies in shadow when the light's ray back from it meets a
// crest within L, the ground distance over which the ray climbs by the crest's height (it climbs -ny
// a unit), and beyond L it is lit. The horizon a crest raises fills out to a little less than its
// height, so the shadow must reach 0.6 L. Cells stretched 8 : 1 either way and extents unrelated to
// the grid's sides; a shadow that ends inside the terrain, and one that covers it, which finds any
// vertex left without a horizon slot.
TEST_F(TerrainLightingTest, ARidgeShadowsAsFarAsItsHeightSaysHoweverTheCellsAreStretched) {
    const std::tuple<int, int, float, float> shapes[] = {
        {289, 37, 1000, 900}, {37, 289, 900, 1000}, {80, 200, 1000, 500}, {150, 60, 400, 1000}};
    const std::array<float, 3> lights[] = {
        {1, -0.4f, 0}, {0, -0.3f, -1}, {-1, -0.5f, 0.6f}, {0.7f, -0.4f, 1}};
    const int slope = 5;
    for (const auto& [width, height, extentX, extentZ] : shapes)
        for (const auto& [lx, ly, lz] : lights)
            for (const float reach : {0.6f, 3.0f}) {
                SCOPED_TRACE(testing::Message()
                             << width << " x " << height << " " << extentX << " x " << extentZ << ", light "
                             << lx << " " << lz << ", reach " << reach);
                const float flat = std::hypot(lx, lz), hx = lx / flat, hz = lz / flat;
                const float climb = -ly / std::sqrt(lx * lx + ly * ly + lz * lz);
                // A light along an axis meets only the ridge across it.
                const int ridgeRow = hx > 0 ? slope + 2 : hx < 0 ? height - slope - 3 : -99;
                const int ridgeColumn = hz > 0 ? slope + 2 : hz < 0 ? width - slope - 3 : -99;
                const float cellX = extentX / (height - 1), cellZ = extentZ / (width - 1);
                const float shadow = reach * (std::abs(hx) > std::abs(hz) ? extentX : extentZ);
                Heightmap grid(width, height);
                for (int n = 0; n < width * height; ++n)
                    grid.Data[n] = shadow * climb *
                                   std::max(0.0f, 1.0f - std::min(std::abs(n / width - ridgeRow),
                                                                  std::abs(n % width - ridgeColumn)) /
                                                             float{slope});
                Ground.ExtentX = extentX, Ground.ExtentZ = extentZ;
                Ground.Build(&Device, &grid);
                TerrainLighting::Module().Reset();
                Ground.UpdateLighting(nullptr, lx, ly, lz, 1);
                const std::vector<TerrainVertex> lit = TerrainReadBack::From(Device).Grid;
                const float xr = ridgeRow * cellX - extentX / 2, zr = ridgeColumn * cellZ - extentZ / 2;
                // Ground distance back to a crest, counting hits up to `slack` beyond the terrain's sides.
                auto back = [&](float x, float z, float slack) {
                    float t = INFINITY;
                    if (const float d = (x - xr) / hx; d > 0 && std::abs(z - d * hz) <= extentZ / 2 + slack)
                        t = d;
                    if (const float d = (z - zr) / hz; d > 0 && std::abs(x - d * hx) <= extentX / 2 + slack)
                        t = std::min(t, d);
                    return t;
                };
                const float margin = 3 * std::max(cellX, cellZ); // the blurs and the soft edge
                const int litGrey = static_cast<int>((0.2f + 0.8f * climb) * 255.0f);
                int looked = 0;
                for (int r = 3; r < height - 3; ++r)
                    for (int c = 3; c < width - 3; ++c) {
                        // Skipped: normals not flat or blurred with those that are not, and the edges.
                        const float x = r * cellX - extentX / 2, z = c * cellZ - extentZ / 2;
                        const bool dark = back(x, z, -margin) < 0.6f * shadow - margin;
                        if (std::abs(r - ridgeRow) <= slope + 2 || std::abs(c - ridgeColumn) <= slope + 2 ||
                            (!dark && back(x, z, margin) <= shadow + margin))
                            continue;
                        const int grey = static_cast<int>(lit[r * width + c].Diffuse & 0xFF);
                        ++looked;
                        ASSERT_TRUE(dark ? grey < litGrey - 2 : std::abs(grey - litGrey) <= 1)
                            << "row " << r << " column " << c << ": " << grey << " against " << litGrey;
                    }
                EXPECT_GT(looked, width * height / 12);
            }
}

// Vertices far outside the extents have no horizon slot, vertices that are not numbers give no number
// to work with: neither may reach memory outside the storage (the sanitizers watch) or a colour.
TEST(TerrainLightingRefusalTest, GridsItCannotLightAreRefusedAndBrokenVerticesStaySafe) {
    TerrainLighting lighting;
    const SurfacePoint points[4] = {};
    const float heights[4] = {}, along[2] = {-500.0f, 500.0f};
    using Grid = TerrainLighting::Grid;
    auto grid = [&](int width, int height) {
        return Grid{points, heights, along, along, width, height, 1000.0f, 1000.0f, heights};
    };
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {-5, 5}, {4097, 2}, {2, 4097}})
        EXPECT_FALSE(lighting.Update(grid(width, height), 100.0f, -35.0f, 0.0f, 3));
    for (auto missing : {&Grid::RowHeights, &Grid::RowX, &Grid::ColumnZ, &Grid::ColumnHeights}) {
        Grid broken = grid(2, 2);
        broken.*missing = nullptr;
        EXPECT_FALSE(lighting.Update(broken, 100.0f, -35.0f, 0.0f, 3));
    }
    Grid pointless = grid(2, 2);
    pointless.Points = nullptr;
    EXPECT_FALSE(lighting.Update(pointless, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_TRUE(lighting.Update(grid(2, 2), 100.0f, -35.0f, 0.0f, 3));

    // Column by column the heights are the same but for the two broken ones, which lie elsewhere.
    const int size = 30;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<SurfacePoint> surface(size * size, SurfacePoint{0.0f, 1.0f, 0.0f});
    std::vector<float> ground(size * size, 0.0f), rowX(size), columnZ(size);
    for (int i = 0; i < size; ++i)
        rowX[i] = 7.0f * (i * 1000.0f / (size - 1) - 500.0f),
        columnZ[i] = -5.0f * (i * 1000.0f / (size - 1) - 500.0f);
    ground[100] = 250.0f;
    auto update = [&](float x) {
        return lighting.Update({surface.data(), ground.data(), rowX.data(), columnZ.data(), size, size, 1000,
                                1000, ground.data()},
                               x, -15.0f, 30.0f, 2);
    };
    EXPECT_TRUE(update(30.0f)); // most vertices lie beyond the extents, where they have no horizon slot
    rowX[3] = columnZ[9] = ground[7 * size + 8] = surface[12 * size + 12].NY = nan;
    for (int call = 0; call < 3; ++call)
        EXPECT_TRUE(update(30.0f - 20.0f * call));
}

} // namespace
