#include "heightmap/Heightmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<float> Values(const Heightmap& grid) {
    return {grid.Data, grid.Data + grid.Width * grid.Height};
}

TEST(HeightmapTest, SquareNormalizeScaleFindBothEndsWhereverTheyAre) {
    // Neither end is element 0, and some values are negative.
    Heightmap grid(3, 2);
    const float values[] = {-1.0f, 2.0f, -3.0f, 0.0f, 1.0f, -2.0f};
    std::copy(std::begin(values), std::end(values), grid.Data);
    grid.Square();
    EXPECT_EQ(Values(grid), (std::vector<float>{1.0f, 4.0f, 9.0f, 0.0f, 1.0f, 4.0f}));
    grid.Normalize();
    EXPECT_EQ(grid.Data[2], 1.0f);
    EXPECT_EQ(grid.Data[3], 0.0f);
    EXPECT_FLOAT_EQ(grid.Data[1], 4.0f / 9.0f);
    grid.Scale(250.0f);
    EXPECT_EQ(*std::max_element(grid.Data, grid.Data + 6), 250.0f);
    EXPECT_FLOAT_EQ(grid.Data[0], 250.0f / 9.0f);
}

TEST(HeightmapTest, FlatGridsAndSidesBelowOneGiveZerosNotNaN) {
    for (auto [width, height] : {std::pair{4, 3}, std::pair{0, 4}, std::pair{-3, -7}}) {
        Heightmap grid(width, height);
        EXPECT_EQ(grid.Width, std::max(width, 1));
        EXPECT_EQ(grid.Height, std::max(height, 1));
        std::fill(grid.Data, grid.Data + grid.Width * grid.Height, -2.5f);
        grid.Normalize();
        EXPECT_EQ(Values(grid), std::vector<float>(static_cast<std::size_t>(grid.Width * grid.Height), 0.0f));
    }
}

} // namespace
