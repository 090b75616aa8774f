// Whole offscreen runs with the engine's terrain, checked by the pixels of the frames they write.

#include "FrameStatistics.h"
#include "RunFixture.h"

#include "app/image/PngFile.h"

using namespace frame_stats;

namespace {

class TerrainRunTest : public RunFixture {
protected:
    // Runs veltra at 320x240 and gives the frame written for `frame` of a numbered sequence.
    std::optional<Image> Shot(int frame) const {
        char name[32];
        std::snprintf(name, sizeof(name), "shot-%03d.png", frame);
        return png::Read(Folder / name);
    }
    ProcessResult Run(int frames, int every, const std::string& keys = "") const {
        std::vector<std::string> args{
            "--frames", std::to_string(frames), "--every",      std::to_string(every), "--size",
            "320x240",  "--screenshot",         "shot-%03d.png"};
        if (!keys.empty()) {
            args.push_back("--keys");
            args.push_back(keys);
        }
        return Veltra(args);
    }
};

} // namespace

TEST_F(TerrainRunTest, FirstFrameIsTheTopViewOfLitTexturedTerrain) {
    // No script here: the default 50 x 50 terrain, and grid.bmp from the assets folder.
    ProcessResult result = Run(1, 1);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err.find("grid.bmp"), std::string::npos) << result.Err;
    std::optional<Image> first = Shot(1);
    ASSERT_TRUE(first);
    const Region middle = Middle(*first);
    EXPECT_LT(ClearShare(*first, middle), 0.01) << "the middle of the picture is terrain";
    EXPECT_GT(GreySpread(*first, middle), 10.0) << "lit hills are not one flat grey";
    // The grid texture gives sharp detail that vertex colours alone cannot (about 6 against 1).
    EXPECT_GT(Detail(*first, middle), 2.0);
}

TEST_F(TerrainRunTest, ClearColourFillsWhatFlatTerrainDoesNotCover) {
    WriteText("HeightmapGeneration.lua", "heightmap_generator.NbHills = 0\n");
    ProcessResult result = Run(1, 1);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    std::optional<Image> frame = Shot(1);
    ASSERT_TRUE(frame);
    // From 700 above, 1000 across fills 297 of 320 columns: about 11.6 clear columns each side.
    for (int x : {0, 9, 310, 319})
        EXPECT_GT(ClearShare(*frame, Region{x, 0, x + 1, 240}), 0.99) << x;
    EXPECT_EQ(ClearShare(*frame, Region{14, 0, 306, 240}), 0.0);
    EXPECT_GT(Detail(*frame, Middle(*frame)), 2.0); // grid lines on evenly lit ground
}

TEST_F(TerrainRunTest, CorruptTextureDrawsUntexturedWithoutFailing) {
    // Flat, evenly lit ground: with the texture it shows grid lines (see above), without it none.
    WriteText("HeightmapGeneration.lua", "heightmap_generator.NbHills = 0\n");
    WriteText("grid.bmp", "BM this is not a bitmap");
    ProcessResult result = Run(1, 1);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_NE(result.Err.find("grid.bmp not loaded"), std::string::npos) << result.Err;
    EXPECT_NE(ReadText("veltra.log").find("grid.bmp not loaded"), std::string::npos);
    std::optional<Image> frame = Shot(1);
    ASSERT_TRUE(frame);
    const Region middle = Middle(*frame);
    EXPECT_LT(ClearShare(*frame, middle), 0.01);
    EXPECT_LT(Detail(*frame, middle), 0.5);
}

TEST_F(TerrainRunTest, ShadingChangesAsTheLightCircles) {
    ProcessResult result = Run(200, 100);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    std::optional<Image> early = Shot(100);
    std::optional<Image> late = Shot(200);
    ASSERT_TRUE(early && late);
    // Same top view, same terrain; only the light has moved (0.3 radians).
    EXPECT_LT(Difference(*early, *late, Region{0, 0, 320, 240}), 40.0);
    EXPECT_GT(Difference(*early, *late, Middle(*early)), 3.0);
}

TEST_F(TerrainRunTest, FlyViewLooksAlongTheDirectionOfTravel) {
    // Flat ground: the only thing in view is the terrain's far edge against the clear colour.
    WriteText("HeightmapGeneration.lua", "heightmap_generator.NbHills = 0\n");
    // T up at frame 1 leaves the top view; Up from frame 2 flies 1.5 per frame along +z, towards
    // the edge at z = 500.
    ProcessResult result = Run(300, 10, "1:up:T,2:down:Up");
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    std::optional<Image> start = Shot(10);
    std::optional<Image> end = Shot(300);
    ASSERT_TRUE(start && end);
    // Row of the far edge in the middle column: the first row from the top that is not clear.
    auto edgeRow = [](const Image& frame) {
        for (int y = 0; y < frame.Height; ++y)
            if (ClearShare(frame, Region{frame.Width / 2, y, frame.Width / 2 + 1, y + 1}) == 0.0)
                return y;
        return frame.Height;
    };
    // Sky above, ground below, the edge just under the middle while it is far...
    EXPECT_GT(ClearShare(*start, Region{0, 0, 320, 100}), 0.99);
    EXPECT_LT(ClearShare(*start, Region{0, 140, 320, 240}), 0.01);
    EXPECT_NEAR(edgeRow(*start), 120, 4);
    // ...and well below it once the eye is 450 along and the edge 50 ahead (8 below the eye).
    EXPECT_GT(edgeRow(*end), 140);
}
