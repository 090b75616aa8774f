#include "heightmap/HeightmapGenerator.h"
#include "heightmap/Heightmap.h"
#include "platform/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using veltra::platform::RuntimeRand;
using veltra::platform::RuntimeSrand;

namespace {

// The hill as first described: every cell of the grid tested, in row order.
void EveryCellHill(Heightmap& grid, float centreX, float centreY, float heightScale, float radius) {
    const float radiusSquared = radius * radius;
    for (int y = 0; y < grid.Height; ++y)
        for (int x = 0; x < grid.Width; ++x) {
            const float dx = static_cast<float>(x) - centreX;
            const float dy = static_cast<float>(y) - centreY;
            const float distanceSquared = dx * dx + dy * dy;
            const float h = (radiusSquared - distanceSquared) * heightScale;
            if (h > 0.0f)
                grid.Data[y * grid.Width + x] = grid.Data[y * grid.Width + x] + h;
        }
}

std::vector<float> Values(const Heightmap& grid) {
    return {grid.Data, grid.Data + grid.Width * grid.Height};
}

// A seed whose first draw is the given value: the state after one step must carry it in bits 16-30.
unsigned SeedForFirstDraw(int draw) {
    const std::uint32_t wanted = static_cast<std::uint32_t>(draw) << 16;
    std::uint32_t inverse = 214013u; // Newton's iteration for the inverse modulo 2^32
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    return (wanted - 2531011u) * inverse;
}

TEST(HeightmapGeneratorTest, DefaultsHoldForTheSharedInstanceAndNewOnes) {
    for (const HeightmapGenerator& generator : {GeneratorInstance, HeightmapGenerator()}) {
        EXPECT_EQ(generator.NbHills, 150);
        EXPECT_EQ(generator.MinHillRadius, 4);
        EXPECT_EQ(generator.MaxHillRadius, 8);
        EXPECT_EQ(generator.Width, 50);
        EXPECT_EQ(generator.Height, 50);
    }
}

TEST(HeightmapGeneratorTest, DefaultGenerateUses300DrawsAndMatchesTheDescribedPlacement) {
    HeightmapGenerator generator;
    RuntimeSrand(20240611u);
    std::unique_ptr<Heightmap> grid(generator.Generate());
    const int nextDraw = RuntimeRand();
    ASSERT_EQ(grid->Width, 50);
    ASSERT_EQ(grid->Height, 50);

    // Replay the same draws by the rule: centre draw, radius draw, hill after hill.
    RuntimeSrand(20240611u);
    Heightmap expected(50, 50);
    for (int hill = 0; hill < 150; ++hill) {
        const int centre = RuntimeRand();
        const int cell = static_cast<int>(centre / 32767.0 * 50 * 50);
        const auto radius = static_cast<float>(RuntimeRand() / 32767.0 * (8.0f - 4.0f) + 4.0f);
        EveryCellHill(expected, static_cast<float>(cell % 50), static_cast<float>(cell / 50), 1.0f, radius);
    }
    EXPECT_EQ(RuntimeRand(), nextDraw) << "Generate must consume exactly 300 draws";
    EXPECT_EQ(Values(*grid), Values(expected));

    // The same seed gives the same terrain; another seed another one.
    RuntimeSrand(20240611u);
    std::unique_ptr<Heightmap> again(generator.Build());
    EXPECT_EQ(Values(*again), Values(*grid));
    RuntimeSrand(20240612u);
    std::unique_ptr<Heightmap> other(generator.Generate());
    EXPECT_NE(Values(*other), Values(*grid));
}

TEST(HeightmapGeneratorTest, SeedOneRaisesItsFirstHillAtAKnownCell) {
    // Seed 1 draws 41 then 18467: cell 41/32767 * 2500 = 3.13 -> column 3, row 0.
    RuntimeSrand(1u);
    std::unique_ptr<Heightmap> grid(HeightmapGenerator().Generate(50, 50, 1, 4.0f, 8.0f));
    const auto radius = static_cast<float>(18467 / 32767.0 * 4.0 + 4.0);
    EXPECT_EQ(grid->Data[3], radius * radius);
    EXPECT_EQ(grid->Data[0], radius * radius - 9.0f);
    EXPECT_EQ(grid->Data[50 * 50 - 1], 0.0f);
}

TEST(HeightmapGeneratorTest, ShortOverloadsReadTheFieldsWhenCalled) {
    HeightmapGenerator generator;
    generator.Width = 7;
    generator.Height = 3;
    generator.NbHills = 4;
    generator.MinHillRadius = 2;
    generator.MaxHillRadius = 2;
    RuntimeSrand(99u);
    std::unique_ptr<Heightmap> grid(generator.Generate());
    EXPECT_EQ(grid->Width, 7);
    EXPECT_EQ(grid->Height, 3);
    RuntimeSrand(99u);
    std::unique_ptr<Heightmap> sized(generator.Generate(7, 3));
    RuntimeSrand(99u);
    std::unique_ptr<Heightmap> explicitArgs(generator.Generate(7, 3, 4, 2.0f, 2.0f));
    EXPECT_EQ(Values(*grid), Values(*sized));
    EXPECT_EQ(Values(*grid), Values(*explicitArgs));
}

TEST(HeightmapGeneratorTest, HillOfRadiusTwoOnAFiveByThreeGrid) {
    Heightmap grid(5, 3);
    HeightmapGenerator().AddHill(&grid, 2.0f, 1.0f, 1.0f, 2.0f);
    // clang-format off
    EXPECT_EQ(Values(grid), (std::vector<float>{
        0.0f, 2.0f, 3.0f, 2.0f, 0.0f,
        0.0f, 3.0f, 4.0f, 3.0f, 0.0f,
        0.0f, 2.0f, 3.0f, 2.0f, 0.0f}));
    // clang-format on
}

TEST(HeightmapGeneratorTest, HillsChangeNothingWithoutRadiusOrCount) {
    Heightmap grid(6, 6);
    HeightmapGenerator generator;
    generator.AddHill(&grid, 3.0f, 3.0f, 1.0f, 0.0f);
    generator.AddHill(&grid, std::nanf(""), 3.0f, 1.0f, 4.0f);
    generator.AddHill(&grid, 3.0f, 3.0f, 1.0f, std::nanf(""));
    generator.AddHill(&grid, INFINITY, 3.0f, 1.0f, 4.0f);
    for (int hills : {0, -5}) {
        RuntimeSrand(5u);
        generator.AddHills(&grid, hills, 4.0f, 8.0f);
        const int next = RuntimeRand();
        RuntimeSrand(5u);
        EXPECT_EQ(next, RuntimeRand()) << "no draw for " << hills << " hills";
    }
    EXPECT_EQ(Values(grid), std::vector<float>(36, 0.0f));
}

TEST(HeightmapGeneratorTest, TopDrawLandsOneRowPastTheGridAndOnlyItsOnGridPartIsAdded) {
    RuntimeSrand(SeedForFirstDraw(32767));
    std::unique_ptr<Heightmap> grid(HeightmapGenerator().Generate(50, 50, 1, 3.0f, 3.0f));
    // Centre column 0, row 50: rows 49 and 48 are one and two rows away.
    std::vector<float> expected(2500, 0.0f);
    expected[49 * 50 + 0] = 8.0f;
    expected[49 * 50 + 1] = 7.0f;
    expected[49 * 50 + 2] = 4.0f;
    expected[48 * 50 + 0] = 5.0f;
    expected[48 * 50 + 1] = 4.0f;
    expected[48 * 50 + 2] = 1.0f;
    EXPECT_EQ(Values(*grid), expected);
}

// Only the cells inside the radius are visited now; the result must not change for any hill.
TEST(HeightmapGeneratorTest, HillsMatchTheEveryCellLoopExactly) {
    std::mt19937 random(1234u);
    std::uniform_real_distribution<float> centre(-12.0f, 52.0f);
    std::uniform_real_distribution<float> radius(-30.0f, 30.0f);
    std::uniform_int_distribution<int> fraction(0, 3);
    const float specialRadii[] = {0.5f, 1.0f, 1e-20f, 1e20f, INFINITY, -INFINITY, 1e-3f, 7.9999995f};
    const float scales[] = {1.0f, 0.37f, 3.5f, -1.0f, 0.0f, 1e-40f, INFINITY};
    HeightmapGenerator generator;
    for (int round = 0; round < 400; ++round) {
        const int width = 1 + round % 41;
        const int height = 1 + (round * 7) % 37;
        Heightmap fast(width, height);
        Heightmap reference(width, height);
        for (int hill = 0; hill < 6; ++hill) {
            float x = centre(random);
            float y = centre(random);
            if (fraction(random) == 0) { // whole-cell centres, as AddHills places them
                x = std::round(x);
                y = std::round(y);
            }
            float r = radius(random);
            if (hill == 5)
                r = specialRadii[round % 8];
            const float scale = hill == 4 ? scales[round % 7] : 1.0f;
            generator.AddHill(&fast, x, y, scale, r);
            EveryCellHill(reference, x, y, scale, r);
        }
        std::vector<float> got = Values(fast);
        std::vector<float> want = Values(reference);
        for (std::size_t i = 0; i < want.size(); ++i)
            ASSERT_TRUE(got[i] == want[i] || (std::isnan(got[i]) && std::isnan(want[i])))
                << "round " << round << " cell " << i << ": " << got[i] << " vs " << want[i];
    }
}

} // namespace
