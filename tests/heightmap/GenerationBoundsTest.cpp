// The values generation uses for the generator's fields: sides within 2..4096, radii within
// 4096 either way, and no more hills than the cells their footprints may visit allow.

#include "heightmap/GenerationBounds.h"
#include "heightmap/HeightmapGenerator.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

TEST(GenerationBoundsTest, FieldsAreBroughtIntoRangeAndSaySo) {
    // Width, Height, NbHills, MinHillRadius, MaxHillRadius -> the same bounded, then the three flags.
    const std::pair<std::array<int, 5>, std::array<int, 8>> cases[] = {
        {{50, 50, 150, 4, 8}, {50, 50, 150, 4, 8, 0, 0, 0}},
        {{1, 50, 150, 4, 8}, {2, 50, 150, 4, 8, 1, 0, 0}},
        {{0, -4, 150, 4, 8}, {2, 2, 150, 4, 8, 1, 0, 0}},
        {{INT_MIN, 5000, 150, 4, 8}, {2, 4096, 150, 4, 8, 1, 0, 0}},
        {{4097, 4096, 150, 4, 8}, {4096, 4096, 150, 4, 8, 1, 0, 0}},
        {{2, 4096, 150, 4, 8}, {2, 4096, 150, 4, 8, 0, 0, 0}},
        {{50, 50, 150, 4097, -4097}, {50, 50, 150, 4096, -4096, 0, 1, 0}},
        {{50, 50, 150, -4096, 4096}, {50, 50, 150, -4096, 4096, 0, 0, 0}},
        {{50, 50, 1000000, 4, 8}, {50, 50, 232210, 4, 8, 0, 0, 1}},         // 64 Mi cells / 17 x 17 a hill
        {{50, 50, INT_MAX, 0, 0}, {50, 50, 1 << 20, 0, 0, 0, 0, 1}},        // one cell a hill: the hill limit
        {{256, 256, INT_MAX, 0, 4000}, {256, 256, 1024, 0, 4000, 0, 0, 1}}, // every hill covers the grid
        {{256, 256, -3, 0, 4000}, {256, 256, -3, 0, 4000, 0, 0, 0}},        // raises nothing, costs nothing
    };
    for (const auto& [fields, used] : cases) {
        HeightmapGenerator generator;
        std::tie(generator.Width, generator.Height, generator.NbHills, generator.MinHillRadius,
                 generator.MaxHillRadius) = std::tuple_cat(fields);
        const GenerationBounds b = GenerationBounds::For(generator);
        EXPECT_EQ((std::array{b.Width, b.Height, b.NbHills, b.MinHillRadius, b.MaxHillRadius,
                              int{b.SizeBounded}, int{b.RadiiBounded}, int{b.HillsBounded}}),
                  used)
            << fields[0] << " " << fields[1] << " " << fields[2];
    }
}

} // namespace
