#include "heightmap/Heightmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

void Fill(Heightmap& grid, const std::vector<float>& values) {
    ASSERT_EQ(static_cast<std::size_t>(grid.Width * grid.Height), values.size());
    std::copy(values.begin(), values.end(), grid.Data);
}

std::vector<float> Values(const Heightmap& grid) {
    return {grid.Data, grid.Data + grid.Width * grid.Height};
}

TEST(HeightmapTest, NewGridIsZeroFilledRowMajor) {
    Heightmap grid(3, 2);
    EXPECT_EQ(grid.Width, 3);
    EXPECT_EQ(grid.Height, 2);
    EXPECT_EQ(Values(grid), std::vector<float>(6, 0.0f));
    grid.Data[1 * grid.Width + 2] = 7.0f; // column 2, row 1
    EXPECT_EQ(grid.Data[5], 7.0f);
}

TEST(HeightmapTest, SidesBelowOneBecomeOneSoTheGridHoldsAValue) {
    for (auto [width, height] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-3, -7}}) {
        Heightmap grid(width, height);
        EXPECT_EQ(grid.Width, std::max(width, 1));
        EXPECT_EQ(grid.Height, std::max(height, 1));
        EXPECT_EQ(Values(grid), std::vector<float>(static_cast<std::size_t>(grid.Width * grid.Height), 0.0f));
        grid.Square();
        grid.Normalize();
        grid.Scale(250.0f);
        EXPECT_EQ(grid.Data[0], 0.0f);
    }
}

TEST(HeightmapTest, SquareAndScale) {
    Heightmap grid(3, 1);
    Fill(grid, {0.0f, 2.0f, 3.0f});
    grid.Square();
    EXPECT_EQ(Values(grid), (std::vector<float>{0.0f, 4.0f, 9.0f}));
    grid.Scale(-1.0f);
    EXPECT_EQ(Values(grid), (std::vector<float>{-0.0f, -4.0f, -9.0f}));
    grid.Scale(0.0f);
    for (float value : Values(grid))
        EXPECT_EQ(value, 0.0f);
}

TEST(HeightmapTest, NormalizeMapsSmallestToZeroAndLargestToOne) {
    Heightmap grid(2, 2);
    Fill(grid, {4.0f, 9.0f, 0.0f, 1.0f});
    grid.Normalize();
    EXPECT_FLOAT_EQ(grid.Data[0], 4.0f / 9.0f);
    EXPECT_EQ(grid.Data[1], 1.0f);
    EXPECT_EQ(grid.Data[2], 0.0f);
    EXPECT_FLOAT_EQ(grid.Data[3], 1.0f / 9.0f);

    // Neither end is element 0, and the values are negative: both passes must still find them.
    Fill(grid, {-2.0f, -5.0f, -1.0f, -3.0f});
    grid.Normalize();
    EXPECT_EQ(grid.Data[1], 0.0f);
    EXPECT_EQ(grid.Data[2], 1.0f);
    EXPECT_FLOAT_EQ(grid.Data[0], 0.75f);
}

TEST(HeightmapTest, FlatGridNormalizesToZeroNotNaN) {
    for (float level : {0.0f, 5.0f, -2.5f}) {
        Heightmap grid(4, 3);
        std::fill(grid.Data, grid.Data + 12, level);
        grid.Normalize();
        for (float value : Values(grid))
            EXPECT_EQ(value, 0.0f) << "level " << level;
    }
}

TEST(HeightmapTest, SquareNormalizeScaleSpansExactlyZeroTo250) {
    Heightmap grid(5, 4);
    for (int i = 0; i < 20; ++i)
        grid.Data[i] = std::fmod(static_cast<float>(i) * 7.3f, 11.0f);
    grid.Square();
    grid.Normalize();
    grid.Scale(250.0f);
    std::vector<float> values = Values(grid);
    EXPECT_EQ(*std::min_element(values.begin(), values.end()), 0.0f);
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), 250.0f);
}

} // namespace
