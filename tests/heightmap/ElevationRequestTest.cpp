// What loading a raster uses of a script's heightmap_file settings: crops, sizes and exaggerations
// brought into range, each with a note, and requests nothing can be made of.

#include "heightmap/ElevationRequest.h"
#include "heightmap/HeightmapFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

HeightmapFile Asking(int width, int height, double exaggeration) {
    HeightmapFile file;
    file.Width = width, file.Height = height, file.Exaggeration = exaggeration;
    return file;
}

TEST(ElevationRequestTest, NumbersAreBroughtIntoRangeAndSaySo) {
    // Asked: samples east-west, north-south, crop x, y, width, height, exaggeration; the raster's
    // columns and rows. Used: the same seven, then the notes; or the failure.
    using Numbers = std::vector<double>;
    // clang-format off
    const std::tuple<Numbers, int, int, Numbers, const char*> cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, 8192, 2048, {4096, 1024, 0, 0, 8192, 2048, 0, 0}, ""},
        {{100, 0, 10, 20, 40, 70, 1}, 95, 90, {100, 175, 10, 20, 40, 70, 1, 0}, ""},
        {{0, 0, 93, 88, 0, 0, 0}, 95, 90, {2, 2, 93, 88, 2, 2, 0, 0}, ""},
        {{0, 9000, -5, 80, 0, 30, NAN}, 95, 90, {4096, 431, 0, 80, 95, 10, 0, 3}, ""},
        {{5000, 0, 0, 0, 0, 0, 0}, 95, 90, {4096, 3880, 0, 0, 95, 90, 0, 1}, ""},
        {{1, 1, 0, 0, 0, 0, 1e9}, 3, 3, {2, 2, 0, 0, 3, 3, 10000, 2}, ""},
        {{0, 0, 50, 0, 1, 0, 0}, 95, 90, {}, "the crop keeps 1 x 90 cells, at least 2 x 2 are needed"},
    };
    // clang-format on
    for (const auto& [a, columns, rows, used, failure] : cases) {
        HeightmapFile f = Asking(int(a[0]), int(a[1]), a[6]);
        std::tie(f.CropX, f.CropY, f.CropWidth, f.CropHeight) =
            std::tuple(int(a[2]), int(a[3]), int(a[4]), int(a[5]));
        const ElevationRequest r = ElevationRequest::For(f, columns, rows);
        EXPECT_EQ(r.Failure, failure);
        const Numbers got = {double(r.Width), double(r.Height),      double(r.CropX),
                             double(r.CropY), double(r.CropWidth),   double(r.CropHeight),
                             r.Exaggeration,  double(r.Notes.size())};
        EXPECT_TRUE(used.empty() || got == used) << a[0] << " " << a[2];
    }
}

} // namespace
