#include "heightmap/HeightmapGenerator.h"
#include "heightmap/Heightmap.h"
#include "platform/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using veltra::platform::RuntimeRand;
using veltra::platform::RuntimeSrand;

namespace {

// The hill as first described: every cell of the grid tested, in row order.
void EveryCellHill(Heightmap& grid, float centreX, float centreY, float heightScale, float radius) {
    for (int y = 0; y < grid.Height; ++y)
        for (int x = 0; x < grid.Width; ++x) {
            const float dx = static_cast<float>(x) - centreX;
            const float dy = static_cast<float>(y) - centreY;
            const float h = (radius * radius - (dx * dx + dy * dy)) * heightScale;
            if (h > 0.0f)
                grid.Data[y * grid.Width + x] = grid.Data[y * grid.Width + x] + h;
        }
}

std::vector<float> Values(const Heightmap& grid) {
    return {grid.Data, grid.Data + grid.Width * grid.Height};
}

TEST(HeightmapGeneratorTest, GenerateTakesTwoDrawsAHillAndPlacesThemAsDescribed) {
    // The runtime's rule: seeded with 1 it draws 41, 18467, 6334.
    RuntimeSrand(1u);
    EXPECT_EQ(RuntimeRand(), 41);
    EXPECT_EQ(RuntimeRand(), 18467);
    EXPECT_EQ(RuntimeRand(), 6334);

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
    EXPECT_EQ(grid->Width, 60);
    EXPECT_EQ(Values(*grid), Values(expected));
    // No hills, no draws.
    RuntimeSrand(5u);
    grid.reset(generator.Generate(6, 6, -5, 4.0f, 8.0f));
    EXPECT_EQ(RuntimeRand(), 54);
    EXPECT_EQ(Values(*grid), std::vector<float>(36, 0.0f));
}

// Only the cells inside the radius are visited; the result must not change for any hill.
TEST(HeightmapGeneratorTest, HillsMatchTheEveryCellLoopExactly) {
    std::mt19937 random(1234u);
    std::uniform_real_distribution<float> centre(-12.0f, 52.0f);
    std::uniform_real_distribution<float> radius(-30.0f, 30.0f);
    std::uniform_int_distribution<int> fraction(0, 3);
    const float specialRadii[] = {0.5f, 1.0f, 1e-20f, 1e20f, INFINITY, -INFINITY, 1e-3f, 7.9999995f};
    const float scales[] = {1.0f, 0.37f, 3.5f, -1.0f, 0.0f, 1e-40f, INFINITY};
    HeightmapGenerator generator;
    for (int round = 0; round < 400; ++round) {
        Heightmap fast(1 + round % 41, 1 + (round * 7) % 37);
        Heightmap reference(fast.Width, fast.Height);
        for (int hill = 0; hill < 6; ++hill) {
            float x = centre(random);
            float y = centre(random);
            if (fraction(random) == 0) { // whole-cell centres, as AddHills places them
                x = std::round(x);
                y = std::round(y);
            }
            const float r = hill == 5 ? specialRadii[round % 8] : radius(random);
            const float scale = hill == 4 ? scales[round % 7] : 1.0f;
            generator.AddHill(&fast, x, y, scale, r);
            EveryCellHill(reference, x, y, scale, r);
        }
        const std::vector<float> got = Values(fast);
        const std::vector<float> want = Values(reference);
        for (std::size_t i = 0; i < want.size(); ++i)
            ASSERT_TRUE(got[i] == want[i] || (std::isnan(got[i]) && std::isnan(want[i])))
                << "round " << round << " cell " << i << ": " << got[i] << " vs " << want[i];
    }
}

} // namespace
