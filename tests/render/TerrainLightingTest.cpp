// What the lighting shows: the flat-ground figures, easing, the untouched outer ring, where cast
// shadows fall, and sound results for lights, smoothing values and grids that the sweep cannot use.

#include "render/TerrainLighting.h"
#include "TerrainLightingGrids.h"
#include "TerrainLightingOracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace {

using namespace lighting_grids;

constexpr std::uint32_t RingMark = 0x12345678; // no grey level looks like this

// A grid whose outer ring carries a mark, so that any write to it shows.
std::vector<TerrainVertex> Marked(int width, int height, const std::vector<float>& heights) {
    std::vector<TerrainVertex> grid = Build(width, height, heights);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            if (r == 0 || c == 0 || r == height - 1 || c == width - 1)
                grid[r * width + c].Diffuse = RingMark;
    return grid;
}

// Every interior vertex is a grey level and every ring vertex keeps its mark.
void ExpectGreyInsideMarkedRing(const std::vector<TerrainVertex>& grid, int width, int height) {
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const std::uint32_t diffuse = grid[r * width + c].Diffuse;
            if (r == 0 || c == 0 || r == height - 1 || c == width - 1)
                EXPECT_EQ(diffuse, RingMark) << "ring vertex row " << r << " column " << c;
            else
                EXPECT_TRUE(IsGrey(diffuse)) << std::hex << diffuse << " at row " << r << " column " << c;
        }
    }
}

std::uint32_t GreyAt(const std::vector<TerrainVertex>& grid, int width, int row, int column) {
    return Grey(grid[row * width + column].Diffuse);
}

TEST(TerrainLightingTest, FlatGroundFirstCallThenConvergence) {
    const int size = 50;
    std::vector<TerrainVertex> grid = Marked(size, size, Flat(size, size));
    TerrainLighting lighting;
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    ExpectGreyInsideMarkedRing(grid, size, size);
    for (int r = 2; r < size - 2; ++r)
        for (int c = 2; c < size - 2; ++c)
            ASSERT_EQ(grid[r * size + c].Diffuse, 0xD1D1D1D1u) << "row " << r << " column " << c;

    for (int call = 0; call < 60; ++call)
        Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    ExpectGreyInsideMarkedRing(grid, size, size);
    EXPECT_EQ(GreyAt(grid, size, 25, 25), 118u);
    EXPECT_EQ(GreyAt(grid, size, 1, 25), 94u); // next to one border edge
    EXPECT_EQ(GreyAt(grid, size, 25, size - 2), 94u);
    EXPECT_EQ(GreyAt(grid, size, 1, 1), 71u); // next to a border corner
    EXPECT_EQ(GreyAt(grid, size, size - 2, size - 2), 71u);
}

TEST(TerrainLightingTest, SmoothingOneShowsEachResultAtOnce) {
    const int size = 20;
    std::vector<TerrainVertex> grid = Marked(size, size, Flat(size, size));
    TerrainLighting lighting;
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 1);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 118u);
    EXPECT_EQ(GreyAt(grid, size, 1, 10), 94u);
    EXPECT_EQ(GreyAt(grid, size, 1, 1), 71u);
    // Straight down onto flat ground the diffuse term is 1: the middle shows full white at once.
    Light(lighting, grid, size, size, 0.0f, -1.0f, 0.0f, 1);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 255u);
    EXPECT_EQ(GreyAt(grid, size, 1, 10), 204u);
    EXPECT_EQ(GreyAt(grid, size, 1, 1), 153u);
    ExpectGreyInsideMarkedRing(grid, size, size);
}

TEST(TerrainLightingTest, ShownBrightnessCarriesOverUntilReset) {
    const int size = 10;
    std::vector<TerrainVertex> grid = Marked(size, size, Flat(size, size));
    TerrainLighting lighting;
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(GreyAt(grid, size, 5, 5), 209u);
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    const std::uint32_t second = GreyAt(grid, size, 5, 5);
    EXPECT_LT(second, 209u);
    EXPECT_GT(second, 118u);
    // A second, separate set of storage starts bright too; so does the first one after Reset.
    TerrainLighting other;
    std::vector<TerrainVertex> copy = grid;
    Light(other, copy, size, size, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(GreyAt(copy, size, 5, 5), 209u);
    lighting.Reset();
    Light(lighting, grid, size, size, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(GreyAt(grid, size, 5, 5), 209u);
}

// A block standing on flat ground: the ground a few cells beyond it along the light is in its
// shadow, the ground as far before it is not. Holds for every sweep order and line orientation.
TEST(TerrainLightingTest, CastShadowFallsBeyondTheBlockAlongTheLight) {
    const int size = 41, middle = 20;
    std::vector<float> heights = Flat(size, size);
    for (int r = middle - 1; r <= middle + 1; ++r)
        for (int c = middle - 1; c <= middle + 1; ++c)
            heights[r * size + c] = 250.0f;
    // Light directions (x, z): every sign, either axis the main one, the ties, and the axes.
    const std::pair<float, float> cases[] = {
        {45.0f, 0.0f},  {-45.0f, 0.0f},  {0.0f, 45.0f},   {0.0f, -45.0f},
        {45.0f, 20.0f}, {-45.0f, 20.0f}, {45.0f, -20.0f}, {-45.0f, -20.0f},
        {20.0f, 45.0f}, {-20.0f, 45.0f}, {20.0f, -45.0f}, {-20.0f, -45.0f},
        {30.0f, 30.0f}, {-30.0f, 30.0f}, {30.0f, -30.0f}, {-30.0f, -30.0f},
    };
    for (const auto& [x, z] : cases) {
        SCOPED_TRACE(testing::Message() << "light (" << x << ", -15, " << z << ")");
        std::vector<TerrainVertex> grid = Build(size, size, heights);
        std::vector<TerrainVertex> open = Build(size, size, Flat(size, size));
        TerrainLighting lighting, openLighting;
        Light(lighting, grid, size, size, x, -15.0f, z, 1);
        Light(openLighting, open, size, size, x, -15.0f, z, 1);
        // Six cells along the light's horizontal direction: rows follow x, columns follow z.
        const float length = std::sqrt(x * x + z * z);
        const int rowStep = static_cast<int>(std::lround(6.0f * x / length));
        const int columnStep = static_cast<int>(std::lround(6.0f * z / length));
        const int beyondRow = middle + rowStep, beyondColumn = middle + columnStep;
        const int beforeRow = middle - rowStep, beforeColumn = middle - columnStep;
        EXPECT_EQ(GreyAt(grid, size, beforeRow, beforeColumn), GreyAt(open, size, beforeRow, beforeColumn))
            << "ground before the block is lit as open ground";
        EXPECT_LT(GreyAt(grid, size, beyondRow, beyondColumn) + 40u,
                  GreyAt(open, size, beyondRow, beyondColumn))
            << "ground beyond the block is in its shadow";
    }
}

TEST(TerrainLightingTest, LightsThatCastNoShadowsGiveDiffuseLightOnly) {
    const int size = 16;
    // Ambient only, as a light skimming flat ground gives: every interior vertex at 0.2, blurred.
    std::vector<TerrainVertex> ambient = Build(size, size, Flat(size, size));
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(ambient, size, size, Extent, Extent, 1.0f, 0.0f, 0.0f, 1);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float X, Y, Z;
        bool Flat; // upward light on hills meets some slopes from below: only flat ground is ambient
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, false}, {nan, -35.0f, 0.0f, false}, {100.0f, nan, 0.0f, false},
        {0.0f, 0.0f, nan, false},  {inf, -35.0f, 0.0f, false}, {100.0f, -inf, 0.0f, false},
        {-inf, inf, -inf, false},  {30.0f, 20.0f, 5.0f, true}, {30.0f, 0.0f, 5.0f, true},
    };
    for (const Case& light : cases) {
        SCOPED_TRACE(testing::Message() << "light (" << light.X << ", " << light.Y << ", " << light.Z << ")");
        std::vector<TerrainVertex> grid =
            Marked(size, size, light.Flat ? Flat(size, size) : Hills(size, size, 3));
        TerrainLighting lighting;
        Light(lighting, grid, size, size, light.X, light.Y, light.Z, 1);
        ExpectGreyInsideMarkedRing(grid, size, size);
        for (int n = 0; n < size * size; ++n) {
            if (grid[n].Diffuse != RingMark) {
                ASSERT_EQ(grid[n].Diffuse, ambient[n].Diffuse) << "vertex " << n;
            }
        }
    }

    // Straight down onto hills: the slopes shade, nothing casts a shadow. The reference cannot take
    // a vertical light, but flat ground casts no shadows either, and the diffuse term reads only the
    // normals: so the reference lights a copy whose heights are flattened but whose normals are the
    // hills', with a light tilted too little to change any diffuse term.
    std::vector<TerrainVertex> hills = Marked(size, size, Hills(size, size, 3));
    std::vector<TerrainVertex> flattened = hills;
    for (TerrainVertex& v : flattened)
        v.Y = 0.0f;
    oracle.UpdateLighting(flattened, size, size, Extent, Extent, 1e-18f, -20.0f, 0.0f, 1);
    TerrainLighting down;
    Light(down, hills, size, size, 0.0f, -20.0f, 0.0f, 1);
    ExpectGreyInsideMarkedRing(hills, size, size);
    for (int n = 0; n < size * size; ++n)
        ASSERT_EQ(hills[n].Diffuse, flattened[n].Diffuse) << "vertex " << n;
}

TEST(TerrainLightingTest, OutsizedAndTinyLightVectorsLightAsTheirDirection) {
    const int size = 24;
    const std::vector<float> heights = Hills(size, size, 5);
    std::vector<TerrainVertex> reference = Build(size, size, heights);
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, size, size, Extent, Extent, 100.0f, -35.0f, 20.0f, 1);
    for (const float scale : {0x1p90f, 0x1p-100f}) {
        std::vector<TerrainVertex> grid = Build(size, size, heights);
        TerrainLighting lighting;
        Light(lighting, grid, size, size, 100.0f * scale, -35.0f * scale, 20.0f * scale, 1);
        for (int n = 0; n < size * size; ++n)
            ASSERT_EQ(grid[n].Diffuse, reference[n].Diffuse) << "scale " << scale << " vertex " << n;
    }
}

TEST(TerrainLightingTest, SmoothingBelowOneShowsAtOnce) {
    const int size = 20;
    const std::vector<float> heights = Hills(size, size, 11);
    std::vector<TerrainVertex> reference = Build(size, size, heights);
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, size, size, Extent, Extent, 40.0f, -15.0f, 21.0f, 1);
    for (const int smoothing : {0, -1, -5, std::numeric_limits<int>::min()}) {
        std::vector<TerrainVertex> grid = Build(size, size, heights);
        TerrainLighting lighting;
        Light(lighting, grid, size, size, 40.0f, -15.0f, 21.0f, smoothing);
        for (int n = 0; n < size * size; ++n)
            ASSERT_EQ(grid[n].Diffuse, reference[n].Diffuse) << "smoothing " << smoothing << " vertex " << n;
    }
    // The largest smoothing cannot move visibly from the first call's full brightness.
    std::vector<TerrainVertex> grid = Marked(size, size, heights);
    TerrainLighting lighting;
    Light(lighting, grid, size, size, 40.0f, -15.0f, 21.0f, std::numeric_limits<int>::max());
    ExpectGreyInsideMarkedRing(grid, size, size);
    EXPECT_EQ(GreyAt(grid, size, 10, 10), 255u);
}

TEST(TerrainLightingTest, GridsTooSmallOrEmptyAreLeftAlone) {
    TerrainLighting lighting;
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{1, 9}, std::pair{9, 2}}) {
        std::vector<TerrainVertex> grid = Marked(width, height, Flat(width, height));
        Light(lighting, grid, width, height, 100.0f, -35.0f, 0.0f, 3);
        for (const TerrainVertex& v : grid)
            EXPECT_EQ(v.Diffuse, RingMark);
    }
    // No grid, or one outside the grid limits: refused.
    const SurfacePoint points[4] = {};
    const float along[2] = {-500.0f, 500.0f};
    for (const auto& [width, height] :
         {std::pair{0, 5}, std::pair{5, 0}, std::pair{-5, 5}, std::pair{4097, 2}})
        EXPECT_FALSE(
            lighting.Update({points, along, along, width, height, Extent, Extent}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_FALSE(lighting.Update({nullptr, along, along, 2, 2, Extent, Extent}, 100.0f, -35.0f, 0.0f, 3));
    EXPECT_TRUE(lighting.Update({points, along, along, 2, 2, Extent, Extent}, 100.0f, -35.0f, 0.0f, 3));
}

// A new grid shape must not see what an earlier one left in the storage: its border light level
// reads 0.0 again and its horizon starts clear.
TEST(TerrainLightingTest, ChangingGridShapeStartsFromCleanStorage) {
    TerrainLighting lighting;
    std::vector<TerrainVertex> first = Build(30, 30, Hills(30, 30, 21));
    Light(lighting, first, 30, 30, 45.0f, -15.0f, 10.0f, 1);
    for (const auto& [width, height] : {std::pair{20, 35}, std::pair{35, 20}, std::pair{30, 30}}) {
        const std::vector<float> heights = Hills(width, height, 22);
        std::vector<TerrainVertex> grid = Build(width, height, heights);
        std::vector<TerrainVertex> reference = grid;
        Light(lighting, grid, width, height, -12.0f, -15.0f, 45.0f, 1);
        TerrainLightingOracle oracle;
        oracle.UpdateLighting(reference, width, height, Extent, Extent, -12.0f, -15.0f, 45.0f, 1);
        for (std::size_t n = 0; n < grid.size(); ++n)
            ASSERT_EQ(grid[n].Diffuse, reference[n].Diffuse) << width << " x " << height << " vertex " << n;
    }
}

// Vertices far outside the extents have no horizon slot, and vertices that are not numbers give no
// number to work with; neither may reach memory outside the storage or a colour.
TEST(TerrainLightingTest, VerticesOutsideTheExtentsOrNotNumbersStaySafe) {
    const int size = 30;
    std::vector<TerrainVertex> grid = Marked(size, size, Hills(size, size, 31));
    for (TerrainVertex& v : grid) {
        v.X *= 7.0f;
        v.Z *= -5.0f;
    }
    TerrainLighting lighting;
    for (int call = 0; call < 3; ++call)
        Light(lighting, grid, size, size, 30.0f, -15.0f, 30.0f, 2);
    ExpectGreyInsideMarkedRing(grid, size, size);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<TerrainVertex> broken = Marked(size, size, Hills(size, size, 32));
    for (int c = 0; c < size; ++c)
        broken[3 * size + c].X = nan; // a row's x is one value
    broken[7 * size + 8].Y = nan;
    for (int r = 0; r < size; ++r)
        broken[r * size + 9].Z = std::numeric_limits<float>::infinity();
    broken[12 * size + 12].NY = nan;
    for (int call = 0; call < 3; ++call)
        Light(lighting, broken, size, size, 45.0f, -15.0f, -20.0f, 2);
    ExpectGreyInsideMarkedRing(broken, size, size);
}

// On ground that dips below zero a vertex can meet a horizon whose height and drop are equal, at
// height zero: the shadow factor is then 0/0. The reference shows that it happens; the engine gives
// that vertex no light instead of an undefined colour.
TEST(TerrainLightingTest, ZeroOverZeroShadowGivesDarknessNotGarbage) {
    const int width = 3, height = 6;
    std::vector<float> heights = Flat(width, height);
    // Light along +x, rows swept in order: column 0 has horizon slot 500 exactly, weight 1.
    const float lightX = 1.0f, lightY = -1.0f;
    const float ny = lightY / std::sqrt(lightX * lightX + lightY * lightY);
    const float dx = Along(2, height) - (-Extent / 2.0f);
    heights[2 * width + 0] = dx * ny; // ray height exactly zero, below the horizon set by row 1
    std::vector<TerrainVertex> grid = Marked(width, height, heights);
    std::vector<TerrainVertex> reference = grid;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, width, height, Extent, Extent, lightX, lightY, 0.0f, 1);
    ASSERT_TRUE(std::isnan(oracle.LightLevel[2 * width + 1])) << "the reference meets 0/0 here";

    TerrainLighting lighting;
    Light(lighting, grid, width, height, lightX, lightY, 0.0f, 1);
    ExpectGreyInsideMarkedRing(grid, width, height);
    // The vertices whose blur saw no broken value match the reference.
    EXPECT_EQ(grid[4 * width + 1].Diffuse, reference[4 * width + 1].Diffuse);
}

} // namespace
