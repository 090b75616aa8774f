// The grid and the hills raised on it: squaring, normalising and scaling; two draws a hill placed
// as first described; and only the cells in a hill's footprint visited, with the same result as
// testing every cell.

#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapGenerator.h"
#include "platform/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

using veltra::platform::RuntimeRand;
using veltra::platform::RuntimeSrand;

namespace {

std::vector<float> Values(const Heightmap& grid) {
    return {grid.Data, grid.Data + grid.Width * grid.Height};
}

// The hill as first described: every cell of the grid tested, in row order.
void EveryCellHill(Heightmap& grid, float centreX, float centreY, float heightScale, float radius) {
    for (int y = 0; y < grid.Height; ++y)
        for (int x = 0; x < grid.Width; ++x) {
            const float dx = static_cast<float>(x) - centreX, dy = static_cast<float>(y) - centreY;
            const float h = (radius * radius - (dx * dx + dy * dy)) * heightScale;
            if (h > 0.0f)
                grid.Data[y * grid.Width + x] = grid.Data[y * grid.Width + x] + h;
        }
}

TEST(HeightmapTest, SquareNormalizeScaleFindBothEndsWhereverTheyAreAndFlatGridsGiveZeros) {
    Heightmap grid(3, 2);
    std::ranges::copy(std::vector{2.0f, -1.0f, -3.0f, 1.0f, 3.0f, -2.0f}, grid.Data);
    grid.Square(), grid.Normalize(), grid.Scale(250.0f);
    EXPECT_EQ(Values(grid), (std::vector{93.75f, 0.0f, 250.0f, 0.0f, 250.0f, 93.75f}));
    for (auto [width, height] : {std::pair{4, 3}, std::pair{0, 4}, std::pair{-3, -7}}) {
        Heightmap flat(width, height);
        std::fill(flat.Data, flat.Data + flat.Width * flat.Height, -2.5f);
        flat.Normalize();
        EXPECT_EQ(Values(flat),
                  std::vector(static_cast<std::size_t>(std::max(width, 1) * std::max(height, 1)), 0.0f));
    }
}

TEST(HeightmapTest, GenerateTakesTwoDrawsAHillAndPlacesThemAsDescribed) {
    RuntimeSrand(1u); // the runtime's rule: seeded with 1 it draws 41, 18467, 6334
    EXPECT_EQ(std::vector({RuntimeRand(), RuntimeRand(), RuntimeRand()}), std::vector({41, 18467, 6334}));
    HeightmapGenerator generator;
    generator.Width = 60;
    RuntimeSrand(20240611u);
    std::unique_ptr<Heightmap> grid(generator.Build());
    const int nextDraw = RuntimeRand();
    RuntimeSrand(20240611u);
    Heightmap expected(60, 50);
    for (int hill = 0; hill < 150; ++hill) {
        const int cell = static_cast<int>(RuntimeRand() / 32767.0 * 60 * 50);
        const auto radius = static_cast<float>(RuntimeRand() / 32767.0 * (8.0f - 4.0f) + 4.0f);
        EveryCellHill(expected, static_cast<float>(cell % 60), static_cast<float>(cell / 60), 1.0f, radius);
    }
    EXPECT_EQ(RuntimeRand(), nextDraw) << "Generate must consume exactly 300 draws";
    EXPECT_EQ(Values(*grid), Values(expected));
    RuntimeSrand(5u); // no hills, no draws
    grid.reset(generator.Generate(6, 6, -5, 4.0f, 8.0f));
    EXPECT_EQ(std::pair(RuntimeRand(), Values(*grid)), std::pair(54, std::vector<float>(36, 0.0f)));
}

// More cells than one draw has values: the centre takes two draws, so that every cell can be one.
// Hills of radius 1 raise their centre cell only.
TEST(HeightmapTest, LargeGridsTakeCentresFromTwoDrawsAndSpreadThemOverEveryRowAndColumn) {
    HeightmapGenerator generator;
    RuntimeSrand(7u);
    std::unique_ptr<Heightmap> grid(generator.Generate(3, 10923, 2, 1.0f, 1.0f)); // 32,769 cells
    const int nextDraw = RuntimeRand();
    RuntimeSrand(7u);
    std::vector<float> expected(3 * 10923);
    for (int hill = 0; hill < 2; ++hill) {
        const int first = RuntimeRand();
        expected.at(static_cast<std::size_t>((first * 32768.0 + RuntimeRand()) / 1073741823.0 * 3 * 10923)) +=
            1;
        RuntimeRand(); // the radius
    }
    EXPECT_EQ(RuntimeRand(), nextDraw);
    EXPECT_EQ(Values(*grid), expected);

    // At 1024 x 1024 one draw alone would put every centre in one of 32 columns.
    RuntimeSrand(2026u);
    grid.reset(generator.Generate(1024, 1024, 30000, 1.0f, 1.0f));
    std::vector<int> rows(1024), columns(1024);
    for (int cell = 0; cell < 1024 * 1024; ++cell) {
        rows[cell / 1024] += static_cast<int>(grid->Data[cell]);
        columns[cell % 1024] += static_cast<int>(grid->Data[cell]);
    }
    const auto crowdedOrEmpty = [](int centres) { return centres == 0 || centres > 60; }; // 29 on average
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), crowdedOrEmpty), 0);
    EXPECT_EQ(std::count_if(columns.begin(), columns.end(), crowdedOrEmpty), 0);
}

TEST(HeightmapTest, HillsMatchTheEveryCellLoopExactly) {
    std::mt19937 random(1234u);
    std::uniform_real_distribution<float> centre(-12.0f, 52.0f), radius(-30.0f, 30.0f);
    const float specialRadii[] = {0.5f, 1.0f, 1e-20f, 1e20f, INFINITY, -INFINITY, 1e-3f, 7.9999995f};
    const float scales[] = {1.0f, 0.37f, 3.5f, -1.0f, 0.0f, 1e-40f, INFINITY};
    HeightmapGenerator generator;
    for (int round = 0; round < 400; ++round) {
        Heightmap fast(1 + round % 41, 1 + (round * 7) % 37), reference(fast.Width, fast.Height);
        for (int hill = 0; hill < 6; ++hill) {
            float x = centre(random), y = centre(random);
            if (random() % 4 == 0) // whole-cell centres, as AddHills places them
                x = std::round(x), y = std::round(y);
            const float r = hill == 5 ? specialRadii[round % 8] : radius(random);
            const float scale = hill == 4 ? scales[round % 7] : 1.0f;
            generator.AddHill(&fast, x, y, scale, r);
            EveryCellHill(reference, x, y, scale, r);
        }
        // NaN cells compare equal through their bits.
        ASSERT_EQ(std::memcmp(fast.Data, reference.Data, Values(fast).size() * sizeof(float)), 0) << round;
    }
}

} // namespace
