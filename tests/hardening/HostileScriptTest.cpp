// The hostile catalogue: configuration scripts (and script files) written to break the engine,
// run through the built module. Whatever they do, Init goes on, builds a sane scene from what they
// left, says why, and a frame draws it from a real view. A module loaded again starts from its
// defaults.

#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

enum class Relief { Any, Flat, Hilly };

struct HostileScript {
    const char* Name;
    // Run after "local g, f = heightmap_generator, heightmap_file"; <directory>, <pipe>, <binary>: such a
    // file.
    std::string Source;
    int Columns, Rows;     // the grid the scene must have
    const char* Says = ""; // part of what Init printed or logged; empty: standard error stays empty
    Relief Ground = Relief::Any;
};
// A failing case names itself.
void PrintTo(const HostileScript& script, std::ostream* out) {
    *out << script.Name;
}

using enum Relief;
// clang-format off
const HostileScript Catalogue[] = {
    // A runaway script is stopped by whichever limit comes first (the instruction limit alone is
    // tested with the script state). Sizes, counts and radii out of range, values that are no numbers or no finite ones; a seed.
    {"NegativeSizes", "g.Width = -5 g.Height = -1", 2, 2, "-> Grid size -5 x -1 requested, 2 x 2 used"},
    {"HugeSizes", "g.Width = 2^53 g.Height = 3", 4096, 3, "-> Grid size 9.007199254741e+15 x 3 requested, 4096 x 3 used", Hilly},
    {"HugeHillCount", "g.NbHills = 1e12", 50, 50, "-> Hills 1000000000000 requested, 232210 raised: more would take too long", Hilly},
    {"HugeRadii", "g.MinHillRadius, g.MaxHillRadius = 1e9, -1e9", 50, 50, "-> Hill radii 1000000000 to -1000000000 requested, 4096 to -4096 used"},
    {"NaNEverywhere", "g.NbHills, g.Width, g.Height, g.MinHillRadius, g.MaxHillRadius = 0/0, 0/0, 0/0, 0/0, 0/0", 2, 2, "", Flat},
    {"Infinities", "g.NbHills, g.Width, g.Height, g.MinHillRadius, g.MaxHillRadius = 1/0, 1/0, -1/0, -1/0, 1/0", 4096, 2, "-> Hills inf requested, "},
    {"Seed", "g.Seed = 0", 50, 50, "-> Terrain 50 x 50, 150 hills of radius 4 to 8, seed 0", Hilly},
    // Settings the generator takes otherwise than written.
    {"SeedBeyond32Bits", "g.Seed = 1e30", 50, 50, "-> Seed 1e+30 requested, 2147483647 used\n", Hilly},
    {"NegativeSeed", "g.Seed = -7.5", 50, 50, "-> Seed -7.5 requested, the clock used\n", Hilly},
    {"HillCountNoNumber", "g.NbHills = 'many'", 50, 50, "-> Hills many requested, 0 raised\n", Flat},
    {"RadiiSwappedAcrossZero", "g.MinHillRadius, g.MaxHillRadius = 8, -2", 50, 50, "-> Hill radii 8 to -2 requested, hills of radius 0 to 8 raised\n"},
    // The globals and the handles.
    {"GlobalsCollected", "g, window, heightmap_generator, Window, _G[''] = nil collectgarbage() collectgarbage()", 50, 50, "gc\ngc\n", Hilly},
    {"GlobalsReplaced", "heightmap_generator, window = {Width = 3}, {PlaceWindow = function(self, text) error(text) end}\n"
                        "heightmap_generator.Width = 4 window:PlaceWindow('replaced')", 50, 50, "HeightmapGeneration.lua:1: replaced", Hilly},
    {"HandlesOutliveGlobals", "local w = window heightmap_generator, window = nil collectgarbage() g.Width = 20 w:PlaceWindow(1, 2)", 20, 50},
    {"ExtremeMethodArguments", "window:MoveWindow(2^31, 2^31) window:MoveWindow(2^31, 2^31) window:MoveWindow(-1/0, 0/0)\n"
                               "window:ResizeWindow(-1e300, 1/0) window:PlaceWindow('x', {}) window:MoveWindow(-2^31, -2^31)", 50, 50},
    {"RawAccess", "rawset(g, 'Width', 1000) print(rawget(g, 'Width')) print(pcall(setmetatable, g, nil))", 50, 50, "protected metatable", Hilly},
    // Errors midway: what was set before stays.
    {"SyntaxErrorMidway", "g.Width = 100\ng.Height = = 3\n", 50, 50, "HeightmapGeneration.lua:2:", Hilly},
    {"RunTimeErrorMidway", "g.Width = 100\nnothing.here = 1\ng.Width = 7\n", 100, 50, "HeightmapGeneration.lua:2:"},
    {"ErrorWithATable", "g.Width = 90 error({})", 90, 50, "HeightmapGeneration.lua:1: (error object is a table value)"},
    // Chunks that are no text, files that are none or never end.
    {"NotText", "<binary>", 50, 50, "binary chunk", Hilly},
    {"PrecompiledChunk", R"(g.Width = 24 print(load('\27Lua\84\0\25\147\13\10\26\10\4\8\8')))", 24, 50, "attempt to load a binary chunk"},
    {"ScriptIsADirectory", "<directory>", 50, 50, "cannot read HeightmapGeneration.lua", Hilly},
    {"ScriptIsAPipe", "<pipe>", 50, 50, "HeightmapGeneration.lua: not a regular file", Hilly}, // opening it would wait
    {"DofileOfItself", "g.Width = 60 dofile('HeightmapGeneration.lua')", 60, 50, "stack overflow"},
    {"DofileWithoutAName", "g.Width = 61 dofile() g.Width = 62", 61, 50, "bad argument #1 to 'dofile'"},
    // Scripts that would never end or want too much.
    {"NeverEnding", "g.Height = 80\nwhile true do end\n", 50, 80, "HeightmapGeneration.lua:2: script stopped: "},
    {"NeverEndingUnderPcall", "g.Height = 81 while true do pcall(function() while true do end end) g.Height = 82 end", 50, 81, "script stopped: "},
    {"FewInstructionsTakingLong", "g.Width = 28 local s = 'x' for i = 1, 24 do s = s .. s end while true do local t = s .. 'y' end", 28, 50, "time limit reached"},
    {"FinalizerNeverEnding", "g.Width = 20\nsetmetatable({}, {__gc = function() while true do end end}) collectgarbage()\ng.Width = 30", 20, 50,
     "HeightmapGeneration.lua:2: finalizers (__gc) are not allowed"},
    {"ErrorHandlerNeverEnding", "g.Width = 31 print(xpcall(error, function() while true do end end)) g.Width = 32", 31, 50, "script stopped: "},
    {"StringTooLong", "g.Width = 22 local s = 'x' while true do s = s .. s end", 22, 50, "HeightmapGeneration.lua:1: script stopped: memory limit reached (64 MB)"},
    // Terrain files that cannot be used: each is said, and hills are generated.
    {"TerrainFileMissing", "f.Path = 'missing.tif'", 50, 50, "-> Terrain file missing.tif: No such file or directory; hills generated instead", Hilly},
    {"TerrainFileAFolder", "f.Path = 'folder.tif'", 50, 50, "-> Terrain file folder.tif: a folder, not a raster file; hills generated instead", Hilly},
    {"TerrainFileAPipe", "f.Path = 'pipe.tif'", 50, 50, "-> Terrain file pipe.tif: not a regular file; hills generated instead", Hilly},
    {"TerrainFileNotARaster", "f.Path = 'notes.tif'", 50, 50, "-> Terrain file notes.tif: not a raster that can be read", Hilly},
    {"TerrainFileOneCell", "f.Path = 'one.asc'", 50, 50, "-> Terrain file one.asc: the raster has 1 x 1 cells, at least 2 x 2 are needed; hills generated instead", Hilly},
    {"TerrainFileAllMissing", "f.Path = 'gaps.asc'", 50, 50, "-> Terrain file gaps.asc: every cell is missing; hills generated instead", Hilly},
    {"TerrainFileCropOutside", "f.Path, f.CropX = 'grid.asc', 3", 50, 50, "-> Terrain file grid.asc: the crop from (3, 0) of 0 x 0 lies outside the 3 x 3 raster; hills", Hilly},
    {"TerrainFileNonsense", "f.Path, f.Width, f.Height, f.CropY, f.CropWidth, f.Exaggeration = 'grid.asc', -5, 1, -1, 9, -1/0", 2, 2,
     "-> Terrain size -5 x 1 requested, 2 x 2 used\n", Hilly},
    {"TerrainFileFlat", "f.Path = 'flat.asc'", 3, 3, "-> Terrain from flat.asc: 3 x 3 samples, 7 to 7 m, 0 cells filled", Flat},
};
// clang-format on

class HostileScriptTest : public ::testing::TestWithParam<HostileScript> {
protected:
    void SetUp() override {
        ASSERT_TRUE(Harness.Create()) << Harness.Module.Error();
        const std::string grid = "ncols 3\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -1\n";
        for (const auto& [name, text] :
             {std::pair{"grid.asc", grid + "1 2 3 4 5 6 7 8 9"},
              {"flat.asc", grid + "7 7 7 7 7 7 7 7 7"},
              {"gaps.asc", grid + "-1 -1 -1 -1 -1 -1 -1 -1 -1"},
              {"one.asc", "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n5"},
              {"notes.tif", "not a raster"}})
            Harness.WriteFile(name, text);
        std::filesystem::create_directory(Harness.Folder / "folder.tif");
        ASSERT_EQ(::mkfifo((Harness.Folder / "pipe.tif").c_str(), 0600), 0);
    }
    ModuleHarness Harness;
};

TEST_P(HostileScriptTest, InitBuildsASaneSceneAndSaysWhyAndAFrameDrawsIt) {
    const HostileScript& script = GetParam();
    const std::filesystem::path file = Harness.Folder / "HeightmapGeneration.lua";
    if (script.Source == "<directory>")
        std::filesystem::create_directory(file);
    else if (script.Source == "<pipe>")
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    else
        Harness.WriteFile(file.filename(),
                          script.Source == "<binary>"
                              ? "\x1bLua\x54 not a chunk"
                              : "local g, f = heightmap_generator, heightmap_file " + script.Source);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool initialised = Harness.Init();
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(initialised);
    std::string said = output, logged;
    for (const std::string& line : Harness.LogLines())
        logged += line + "\n";
    said += errors + logged;
    // What went wrong is in the log as well (each line of it, after the time stamp).
    for (std::size_t start = 0, end; (end = errors.find('\n', start)) != errors.npos; start = end + 1)
        EXPECT_NE(logged.find(errors.substr(start, end - start + 1)), std::string::npos) << errors;
    EXPECT_TRUE(*script.Says != '\0' || errors.empty()) << errors;
    EXPECT_NE(said.find(script.Says), std::string::npos) << said;
    // A terrain file that cannot be used is told on standard error too.
    const std::string says = script.Says;
    EXPECT_TRUE(says.rfind("-> Terrain file", 0) != 0 || errors.find(says.substr(3)) != std::string::npos)
        << errors;

    const TerrainReadBack held = TerrainReadBack::From(Harness.Device);
    ASSERT_TRUE(held.Whole);
    EXPECT_EQ(std::pair(held.Width, held.Height), std::pair(script.Columns, script.Rows));
    float highest = 0.0f;
    for (const TerrainVertex& vertex : held.Grid) {
        ASSERT_TRUE(vertex.Y >= 0.0f && vertex.Y <= 250.0f &&
                    std::isfinite(vertex.NX + vertex.NY + vertex.NZ));
        highest = std::max(highest, vertex.Y);
    }
    EXPECT_TRUE(script.Ground == Any || highest == (script.Ground == Flat ? 0.0f : 250.0f)) << highest;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Harness.Frame());
    testing::internal::GetCapturedStdout();
    const TerrainReadBack::Frame drawn = held.Drawn(Harness.Device);
    EXPECT_EQ(held.CoverProblems(drawn), "");
    EXPECT_EQ(drawn.Triangles.size(), 2u * (held.Width - 1) * (held.Height - 1)); // every vertex
    const CameraCall& view = Harness.Device.Cameras.back();
    EXPECT_TRUE(std::isfinite(view.Tx + view.Ty + view.Tz + view.Yaw + view.Pitch));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, HostileScriptTest, ::testing::ValuesIn(Catalogue),
                         [](const auto& test) { return std::string(test.param.Name); });

TEST(ModuleReloadTest, AModuleLoadedAgainStartsFromItsDefaults) {
    {
        ModuleHarness first;
        first.WriteFile("HeightmapGeneration.lua", "heightmap_generator.Width = 100");
        ASSERT_TRUE(first.Create() && first.Init());
        first.Release();
    }
    // Nothing keeps the module loaded once its last user has closed it.
    EXPECT_EQ(dlopen(VELTRA_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
    ModuleHarness second;
    ASSERT_TRUE(second.Create() && second.Init());
    EXPECT_EQ(TerrainReadBack::From(second.Device).Width, 50);
}

} // namespace
