// Whole offscreen runs with the engine's terrain, checked by measures of the frames they write
// that hold whatever terrain the random hills made.

#include "RunFixture.h"

#include <cmath>

namespace {

constexpr std::uint32_t ClearColour = 0xBBCCDDEE; // what the engine clears each frame with

struct Region {
    int X0, Y0, X1, Y1; // half-open
};

double Grey(const Image& image, int x, int y) {
    const std::uint8_t* pixel = image.Pixel(x, y);
    return (pixel[0] + pixel[1] + pixel[2]) / 3.0;
}

template <typename Visit>
double Average(Region region, Visit visit) {
    double sum = 0.0;
    long count = 0;
    for (int y = region.Y0; y < region.Y1; ++y)
        for (int x = region.X0; x < region.X1; ++x, ++count)
            sum += visit(x, y);
    return count == 0 ? 0.0 : sum / static_cast<double>(count);
}

// Share of the region's pixels within 2 levels of the clear colour.
double ClearShare(const Image& image, Region region) {
    return Average(region, [&](int x, int y) {
        const std::uint8_t* pixel = image.Pixel(x, y);
        bool clear = true;
        for (int channel = 0; channel < 3; ++channel)
            clear = clear && std::abs(pixel[channel] -
                                      static_cast<int>((ClearColour >> (16 - 8 * channel)) & 0xFF)) <= 2;
        return clear ? 1.0 : 0.0;
    });
}

// Standard deviation of the grey level: lit hills are not one flat grey.
double GreySpread(const Image& image, Region region) {
    const double mean = Average(region, [&](int x, int y) { return Grey(image, x, y); });
    return std::sqrt(Average(region, [&](int x, int y) { return std::pow(Grey(image, x, y) - mean, 2); }));
}

// Mean grey difference between horizontal neighbours: sharp detail such as grid lines.
double Detail(const Image& image, Region region) {
    region.X1 -= 1;
    return Average(region, [&](int x, int y) { return std::abs(Grey(image, x + 1, y) - Grey(image, x, y)); });
}

Region Middle(const Image& image) {
    return Region{image.Width / 4, image.Height / 4, image.Width * 3 / 4, image.Height * 3 / 4};
}

class TerrainRunTest : public RunFixture {
protected:
    // The first frame of a run at 320x240, from straight above.
    std::optional<Image> FirstFrame(ProcessResult* result) const {
        *result = Veltra({"--frames", "1", "--size", "320x240", "--screenshot", "first.png"});
        return ReadPng("first.png");
    }
};

} // namespace

TEST_F(TerrainRunTest, FirstFrameIsTheTopViewOfLitTexturedTerrain) {
    // No script here: the default 50 x 50 terrain, and grid.bmp from the assets folder.
    ProcessResult result;
    std::optional<Image> first = FirstFrame(&result);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_FALSE(Has(result.Err, "grid.bmp")) << result.Err;
    ASSERT_TRUE(first);
    const Region middle = Middle(*first);
    EXPECT_LT(ClearShare(*first, middle), 0.01) << "the middle of the picture is terrain";
    EXPECT_GT(GreySpread(*first, middle), 10.0);
    // The grid texture gives sharp detail that vertex colours alone cannot (about 6 against 1).
    EXPECT_GT(Detail(*first, middle), 2.0);
}

TEST_F(TerrainRunTest, FlatTerrainWithACorruptTextureLeavesTheClearColourAtTheSides) {
    WriteText("HeightmapGeneration.lua", "heightmap_generator.NbHills = 0\n");
    WriteText("grid.bmp", "BM this is not a bitmap");
    ProcessResult result;
    std::optional<Image> frame = FirstFrame(&result);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "grid.bmp not loaded")) << result.Err;
    EXPECT_TRUE(Has(ReadText("veltra.log"), "grid.bmp not loaded"));
    ASSERT_TRUE(frame);
    // From 700 above, 1000 across fills 297 of 320 columns: about 11.6 clear columns each side.
    for (int x : {0, 9, 310, 319})
        EXPECT_GT(ClearShare(*frame, Region{x, 0, x + 1, 240}), 0.99) << x;
    EXPECT_EQ(ClearShare(*frame, Region{14, 0, 306, 240}), 0.0);
    // Evenly lit and untextured: no detail at all.
    EXPECT_LT(Detail(*frame, Middle(*frame)), 0.5);
}
