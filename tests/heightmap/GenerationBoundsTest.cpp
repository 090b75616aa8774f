#include "heightmap/GenerationBounds.h"
#include "heightmap/HeightmapGenerator.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(GenerationBoundsTest, DefaultsPassUnchanged) {
    const GenerationBounds bounds = GenerationBounds::For(HeightmapGenerator());
    EXPECT_EQ(bounds.Width, 50);
    EXPECT_EQ(bounds.Height, 50);
    EXPECT_EQ(bounds.NbHills, 150);
    EXPECT_EQ(bounds.MinHillRadius, 4);
    EXPECT_EQ(bounds.MaxHillRadius, 8);
    EXPECT_FALSE(bounds.SizeBounded || bounds.RadiiBounded || bounds.HillsBounded);
}

TEST(GenerationBoundsTest, GridSidesAreBroughtIntoTwoTo4096) {
    HeightmapGenerator generator;
    for (auto [width, height, usedWidth, usedHeight] :
         {std::tuple{1, 50, 2, 50}, std::tuple{0, -4, 2, 2}, std::tuple{INT_MIN, 5000, 2, 4096},
          std::tuple{4097, 4096, 4096, 4096}, std::tuple{2, 4096, 2, 4096}, std::tuple{300, 100, 300, 100}}) {
        generator.Width = width;
        generator.Height = height;
        const GenerationBounds bounds = GenerationBounds::For(generator);
        EXPECT_EQ(bounds.Width, usedWidth);
        EXPECT_EQ(bounds.Height, usedHeight);
        EXPECT_EQ(bounds.SizeBounded, width != usedWidth || height != usedHeight);
    }
}

TEST(GenerationBoundsTest, HillCountIsBoundedByTheCellsItsHillsCanVisit) {
    HeightmapGenerator generator;
    generator.NbHills = 1000000;
    GenerationBounds bounds = GenerationBounds::For(generator);
    EXPECT_TRUE(bounds.HillsBounded);
    // A hill of radius 8 reaches at most a 17 x 17 square.
    EXPECT_EQ(bounds.NbHills, static_cast<int>(GenerationBounds::CellVisitLimit / (17.0 * 17.0)));

    generator.NbHills = INT_MAX;
    generator.MinHillRadius = 0;
    generator.MaxHillRadius = 0;
    bounds = GenerationBounds::For(generator);
    EXPECT_EQ(bounds.NbHills, GenerationBounds::HillLimit);

    generator.Width = 256;
    generator.Height = 256;
    generator.MaxHillRadius = 4000; // every hill covers the whole grid
    bounds = GenerationBounds::For(generator);
    EXPECT_EQ(bounds.NbHills, static_cast<int>(GenerationBounds::CellVisitLimit / 65536.0));

    generator.NbHills = -3; // raises nothing, costs nothing
    EXPECT_EQ(GenerationBounds::For(generator).NbHills, -3);
}

} // namespace
