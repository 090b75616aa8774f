// A raster through the built module: its terrain has the raster's proportions, and each height
// stands where the map has it, north up (+z) and east right (+x) as the top view shows them.

#include "TerrainLightingOracle.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(TerrainFileTest, ARasterBecomesTheTerrainInItsProportionsNorthUpEastRight) {
    ModuleHarness harness;
    harness.WriteFile("map.asc",
                      "ncols 4\nnrows 2\nxllcorner 1000\nyllcorner 0\ncellsize 1\n1 2 3 4\n11 12 13 14\n");
    harness.WriteFile("HeightmapGeneration.lua", "heightmap_file.Path = 'map.asc'");
    ASSERT_TRUE(harness.Create() && harness.Init());
    const TerrainReadBack held = TerrainReadBack::From(harness.Device);
    ASSERT_EQ(std::pair(held.Width, held.Height), std::pair(2, 4));
    for (int n = 0; n < 8; ++n) {
        const int east = n / 2, north = n % 2;
        const float metres = static_cast<float>(north == 1 ? 1 + east : 11 + east), third = 1000.0f / 3.0f;
        const TerrainVertex& vertex = held.Grid[static_cast<std::size_t>(n)];
        EXPECT_EQ(std::pair(vertex.X, vertex.Z),
                  std::pair(-500.0f + static_cast<float>(east) * third, north * 500.0f - 250.0f));
        EXPECT_NEAR(vertex.Y, (metres - 1.0f) / 13.0f * 250.0f, 1e-4f) << n;
    }
    harness.Release();
}

TEST(TerrainFileTest, GroundBelowZeroIsLitAsTheSameGroundAboveIt) {
    // A 12 x 8 raster of 100 m cells at true scale, 10 m but for a 250 m wall whose shadow the first
    // light (travelling east) casts east; and the same ground 200 m lower. The shadow term divides by
    // a point's height: ground below 0 would give factors above 1 and white shadows.
    const auto lit = [](float lowered) {
        std::string rows;
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 12; ++column)
                rows +=
                    std::to_string((column == 2 ? 250.0f : 10.0f) - lowered) + (column == 11 ? "\n" : " ");
        ModuleHarness harness;
        harness.WriteFile("map.asc", "ncols 12\nnrows 8\nxllcorner 1000\nyllcorner 0\ncellsize 100\n" + rows);
        harness.WriteFile("HeightmapGeneration.lua", "heightmap_file.Path = 'map.asc'\n"
                                                     "heightmap_file.Exaggeration = 1");
        EXPECT_TRUE(harness.Create() && harness.Init());
        const TerrainReadBack held = TerrainReadBack::From(harness.Device);
        harness.Release();
        return held.Grid;
    };
    const std::vector<TerrainVertex> ground = lit(0.0f), below = lit(200.0f);
    ASSERT_EQ(ground.size(), 96u);
    ASSERT_EQ(below.size(), ground.size());
    for (std::size_t n = 0; n < ground.size(); ++n)
        EXPECT_EQ(below[n].Diffuse, ground[n].Diffuse) << n;
    std::vector<TerrainVertex> reference = below;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, 8, 12, 1000.0f, 2000.0f / 3.0f, 100.0f, -35.0f, 0.0f, 3);
    const auto [least, most] = std::minmax_element(oracle.ShadowFactor.begin(), oracle.ShadowFactor.end());
    EXPECT_LT(*least, 0.5f); // the wall's shadow
    EXPECT_LE(*most, 1.0f);
}

// Settings of the wrong kind each get a line saying what was used instead, and every correction is
// said on standard error as well as in the log; a path that is no text loads nothing.
TEST(TerrainFileTest, SettingsOfTheWrongKindAreSaidWithWhatWasUsed) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"f.Path = 42",
         {"-> Terrain file Path 42 requested, hills generated instead: a path is text, "
          "without a zero byte"}},
        {"f.Path = 'map.asc\\0.lua'",
         {"-> Terrain file Path map.asc requested, hills generated instead: "
          "a path is text, without a zero byte"}},
        {"f.Path, f.Width, f.Exaggeration = 'map.asc', 2.7, 'abc'",
         {"-> Terrain file Exaggeration abc requested, 0 used",
          "-> Terrain file Width 2.7 requested, 2 used"}},
        {"f.Path, f.CropX, f.Exaggeration = 'map.asc', 2^40, {}",
         {"-> Terrain file CropX 1099511627776 requested, 2147483647 used",
          "-> Terrain file Exaggeration table requested, 0 used"}},
        {"f.Path, f.Height = 'map.asc', true", {"-> Terrain file Height boolean requested, 0 used"}},
        // A correction the loader makes.
        {"f.Path, f.CropWidth = 'map.asc', 99",
         {"-> Crop from (0, 0) of 99 x 0 requested, from (0, 0) of 4 x 2 used"}},
    };
    for (const auto& [settings, said] : cases) {
        ModuleHarness harness;
        harness.WriteFile("map.asc",
                          "ncols 4\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n1 2 3 4\n5 6 7 9\n");
        harness.WriteFile("HeightmapGeneration.lua", "local f = heightmap_file " + settings);
        testing::internal::CaptureStderr();
        ASSERT_TRUE(harness.Create() && harness.Init());
        const std::string errors = testing::internal::GetCapturedStderr();
        const std::vector<std::string> lines = harness.LogLines();
        for (const std::string& line : said) {
            EXPECT_NE(errors.find(line + "\n"), std::string::npos) << settings << ": " << line;
            EXPECT_TRUE(std::ranges::any_of(lines, [&](const std::string& l) { return l.ends_with(line); }))
                << settings << ": " << line;
        }
        // The text before a zero byte names a file that is there, and still none is loaded.
        EXPECT_TRUE(!settings.starts_with("f.Path =") || TerrainReadBack::From(harness.Device).Width == 50)
            << settings << ": hills";
        harness.Release();
    }
}

// Runs scripts/demo-config with these arguments, as they are (no shell in between); its exit code.
int DemoConfig(const std::vector<std::string>& args) {
    std::vector<std::string> all = {VELTRA_SOURCE_DIR "/scripts/demo-config"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The demo's script names a raster of any name the file system allows, quotes, backslashes, long
// brackets, line ends and all, and the module opens that very file (never hills in its place).
TEST(TerrainFileTest, TheDemosScriptNamesARasterWhateverItsName) {
    for (const std::string name :
         {"it's \"a\" map.asc", "back\\slash\\n.asc", "]]==]].asc", "line\nend\r\n", "\n-dash.asc",
          "\xc3\xbcn\xc3\xaf"
          "code $(exit 1) %s.asc",
          "bytes \x01\x7f\xff"}) {
        ModuleHarness harness;
        harness.WriteFile(name, "ncols 4\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n1 2 3 4\n5 6 7 9\n");
        ASSERT_EQ(DemoConfig({"script", (harness.Folder / name).string(), harness.Folder.string()}), 0)
            << name;
        ASSERT_TRUE(harness.Create() && harness.Init()) << name;
        const TerrainReadBack held = TerrainReadBack::From(harness.Device);
        EXPECT_EQ(std::pair(held.Width, held.Height), std::pair(2, 4)) << name;
        harness.Release();
    }
}

} // namespace
