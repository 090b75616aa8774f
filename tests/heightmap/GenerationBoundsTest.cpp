#include "heightmap/GenerationBounds.h"
#include "heightmap/HeightmapGenerator.h"
#include "heightmap/HillFootprint.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

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

TEST(GenerationBoundsTest, GridSidesAreBroughtIntoTwoTo256) {
    HeightmapGenerator generator;
    for (auto [width, height, usedWidth, usedHeight] :
         {std::tuple{1, 50, 2, 50}, std::tuple{0, -4, 2, 2}, std::tuple{INT_MIN, 1000, 2, 256},
          std::tuple{257, 256, 256, 256}, std::tuple{2, 256, 2, 256}}) {
        generator.Width = width;
        generator.Height = height;
        const GenerationBounds bounds = GenerationBounds::For(generator);
        EXPECT_EQ(bounds.Width, usedWidth);
        EXPECT_EQ(bounds.Height, usedHeight);
        EXPECT_EQ(bounds.SizeBounded, width != usedWidth || height != usedHeight);
        // 16-bit indices must reach every vertex.
        EXPECT_LE(bounds.Width * bounds.Height, 65536);
    }
}

TEST(GenerationBoundsTest, RadiiAreBoundedSoSquaredHeightsStayFinite) {
    HeightmapGenerator generator;
    generator.MinHillRadius = INT_MIN;
    generator.MaxHillRadius = INT_MAX;
    const GenerationBounds bounds = GenerationBounds::For(generator);
    EXPECT_TRUE(bounds.RadiiBounded);
    EXPECT_EQ(bounds.MinHillRadius, -GenerationBounds::RadiusLimit);
    EXPECT_EQ(bounds.MaxHillRadius, GenerationBounds::RadiusLimit);
    // The tallest possible cell: every hill at full height on one cell, then squared.
    const double tallest =
        static_cast<double>(bounds.NbHills) * GenerationBounds::RadiusLimit * GenerationBounds::RadiusLimit;
    EXPECT_LT(tallest * tallest, 3.0e38);
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

// The footprint may hold cells on or just past the circle, but never miss one inside it.
TEST(HillFootprintTest, HoldsEveryCellInsideTheRadiusAndLittleElse) {
    for (float radius : {0.3f, 1.0f, 2.0f, 4.5f, 8.0f, -6.0f}) {
        for (float centreX : {10.0f, 0.0f, 10.25f, -3.0f}) {
            const float centreY = 7.0f;
            HillFootprint footprint(20, 15, centreX, centreY, radius);
            for (int y = 0; y < 15; ++y) {
                const ColumnSpan span =
                    (y >= footprint.FirstRow && y <= footprint.LastRow) ? footprint.Columns(y) : ColumnSpan{};
                for (int x = 0; x < 20; ++x) {
                    const double distance = std::hypot(x - centreX, y - centreY);
                    const bool held = x >= span.First && x <= span.Last;
                    if (distance < std::fabs(radius)) {
                        EXPECT_TRUE(held) << radius << " (" << x << "," << y << ")";
                    } else if (distance > std::fabs(radius) + 0.01) {
                        EXPECT_FALSE(held) << radius << " (" << x << "," << y << ")";
                    }
                }
            }
        }
    }
    EXPECT_GT(HillFootprint(5, 5, 2.0f, 2.0f, 0.0f).FirstRow, HillFootprint(5, 5, 2.0f, 2.0f, 0.0f).LastRow);
    HillFootprint everywhere(5, 5, 2.0f, 2.0f, INFINITY);
    EXPECT_EQ(everywhere.FirstRow, 0);
    EXPECT_EQ(everywhere.LastRow, 4);
    EXPECT_EQ(everywhere.Columns(4).First, 0);
    EXPECT_EQ(everywhere.Columns(4).Last, 4);
}

} // namespace
