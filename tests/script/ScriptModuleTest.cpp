// The configuration script through the built module, as a host runs it: what Init logs, what a
// script can change before the scene is generated, and scripts or states that fail.

#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"

#include <lua.hpp>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool RefuseStateMemory = false;

void* RefuseEverything(void* /*budget*/, void* block, std::size_t /*oldSize*/, std::size_t newSize) {
    if (newSize == 0)
        std::free(block);
    return nullptr;
}

} // namespace

// The module finds this definition before Lua's own (the executable exports it), so a test can
// make every allocation of a new state fail.
extern "C" __attribute__((visibility("default"))) lua_State* lua_newstate(lua_Alloc allocate, void* budget) {
    using NewState = lua_State* (*)(lua_Alloc, void*);
    void* library = dlopen("liblua5.4.so.0", RTLD_NOW | RTLD_NOLOAD);
    auto real = reinterpret_cast<NewState>(dlsym(library, "lua_newstate"));
    dlclose(library);
    return real(RefuseStateMemory ? &RefuseEverything : allocate, budget);
}

namespace {

// The message part of each time-stamped line.
std::vector<std::string> Messages(const ModuleHarness& harness) {
    std::vector<std::string> messages;
    for (const std::string& line : harness.LogLines()) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos)
            messages.push_back(line.substr(tab + 1));
    }
    return messages;
}

int Count(const std::vector<std::string>& messages, const std::string& message) {
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

const char* PrintGenerator = "local g = heightmap_generator\n"
                             "print(g.NbHills, g.Width, g.Height, g.MinHillRadius, g.MaxHillRadius)\n";

class ScriptModuleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Harness.Create()) << Harness.Module.Error(); }
    void TearDown() override { RefuseStateMemory = false; }

    // Init with a script (none when empty); what it printed on standard output and standard error.
    struct Printed {
        bool Result;
        std::string Output;
        std::string Errors;
    };
    Printed InitWith(const std::string& script) {
        if (!script.empty())
            Harness.WriteFile("HeightmapGeneration.lua", script);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool result = Harness.Init();
        std::string output = testing::internal::GetCapturedStdout();
        return {result, output, testing::internal::GetCapturedStderr()};
    }

    // The terrain the last Init built, read back from its vertices: x changes from row to row,
    // z from column to column.
    struct Terrain {
        int Columns = 0;
        int Rows = 0;
        float Lowest = 0.0f;
        float Highest = 0.0f;
    };
    Terrain BuiltTerrain() const {
        const RecordingVertexBuffer* buffer = Harness.Device.LastVertexBuffer(TerrainVertex::FormatCode);
        Terrain terrain;
        if (buffer == nullptr || buffer->AllocatedCount == 0)
            return terrain;
        std::vector<TerrainVertex> vertices(static_cast<std::size_t>(buffer->AllocatedCount));
        std::memcpy(vertices.data(), buffer->Data(), vertices.size() * sizeof(TerrainVertex));
        terrain.Columns = 1;
        while (terrain.Columns < buffer->AllocatedCount && vertices[terrain.Columns].X == vertices[0].X)
            ++terrain.Columns;
        terrain.Rows = buffer->AllocatedCount / terrain.Columns;
        const auto [lowest, highest] = std::minmax_element(
            vertices.begin(), vertices.end(), [](const auto& a, const auto& b) { return a.Y < b.Y; });
        terrain.Lowest = lowest->Y;
        terrain.Highest = highest->Y;
        return terrain;
    }

    ModuleHarness Harness;
};

TEST_F(ScriptModuleTest, InitOpensTheStateBindsAndRunsTheScriptInOrder) {
    const Printed run =
        InitWith("print(type(window), type(Window), type(_G['']), heightmap_generator.Height)");
    EXPECT_TRUE(run.Result);
    EXPECT_EQ(run.Output, "table\tfunction\tfunction\t50\n");
    EXPECT_EQ(run.Errors, "");
    const std::vector<std::string> messages = Messages(Harness);
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Initialising VeltraEngine...");
    EXPECT_EQ(messages[1], "-> Open VM : OK");
    EXPECT_EQ(messages[2], "-> Binding stuff to VM...");
}

TEST_F(ScriptModuleTest, WithoutAScriptTheGeneratorKeepsItsDefaults) {
    const Printed first = InitWith("");
    EXPECT_TRUE(first.Result);
    EXPECT_EQ(first.Output, "");
    EXPECT_EQ(first.Errors, ""); // an absent script is no error
    const Terrain terrain = BuiltTerrain();
    EXPECT_EQ(terrain.Columns, 50);
    EXPECT_EQ(terrain.Rows, 50);
    EXPECT_EQ(terrain.Highest, 250.0f); // hills were raised
    // A second Init opens a second state, which sees the same generator.
    EXPECT_EQ(InitWith(PrintGenerator).Output, "150\t50\t50\t4\t8\n");
    EXPECT_EQ(Count(Messages(Harness), "-> Binding stuff to VM..."), 2);
}

TEST_F(ScriptModuleTest, TheGridIsGeneratedFromWhatTheScriptLeft) {
    EXPECT_TRUE(InitWith("heightmap_generator.Width = 100").Result);
    Terrain terrain = BuiltTerrain();
    EXPECT_EQ(terrain.Columns, 100);
    EXPECT_EQ(terrain.Rows, 50);
    // A string, even one that spells a number, stores 0: no hills, a flat grid.
    EXPECT_TRUE(InitWith("heightmap_generator.NbHills = '150' heightmap_generator.Height = 7.9").Result);
    terrain = BuiltTerrain();
    EXPECT_EQ(terrain.Columns, 100);
    EXPECT_EQ(terrain.Rows, 7);
    EXPECT_EQ(terrain.Highest, 0.0f);
    EXPECT_EQ(InitWith("local g = heightmap_generator g.NbHills = 10.9 g.MaxHillRadius = -2.5\n" +
                       std::string(PrintGenerator))
                  .Output,
              "10\t100\t7\t4\t-2\n");
}

TEST_F(ScriptModuleTest, AFailingScriptKeepsWhatItSetAndInitGoesOn) {
    const Printed run =
        InitWith("heightmap_generator.Width = 100\nerror('stopped here')\nheightmap_generator.Width = 7\n");
    EXPECT_TRUE(run.Result);
    EXPECT_NE(run.Errors.find("HeightmapGeneration.lua:2: stopped here"), std::string::npos) << run.Errors;
    for (const std::string& message : Messages(Harness))
        EXPECT_EQ(message.find("stopped"), std::string::npos) << message; // nothing new in the log
    const Terrain terrain = BuiltTerrain();
    EXPECT_EQ(terrain.Columns, 100);
    EXPECT_EQ(terrain.Rows, 50);
}

TEST_F(ScriptModuleTest, ANeverEndingScriptIsStoppedAndKeepsWhatItSet) {
    const Printed run = InitWith("heightmap_generator.Height = 80\nwhile true do end\n");
    EXPECT_TRUE(run.Result);
    EXPECT_NE(run.Errors.find("instruction limit"), std::string::npos) << run.Errors;
    const Terrain terrain = BuiltTerrain();
    EXPECT_EQ(terrain.Columns, 50);
    EXPECT_EQ(terrain.Rows, 80);
}

TEST_F(ScriptModuleTest, TheScriptArrangesTheHostWindow) {
    Window& window = Harness.TheKernel.GetWindow();
    EXPECT_EQ(InitWith("print(window:PlaceWindow(0, 0), window:ResizeWindow(640, 480), window:HideWindow())")
                  .Output,
              "1\t1\t1\n");
    EXPECT_EQ(window.X, 0);
    EXPECT_EQ(window.Y, 0);
    EXPECT_EQ(window.Width, 640);
    EXPECT_EQ(window.Height, 480);
    EXPECT_FALSE(window.Visible);
}

TEST_F(ScriptModuleTest, CollectingLeavesTheHostsObjectsAlone) {
    const Printed run = InitWith("local made = Window() made = nil collectgarbage()\n"
                                 "window = nil heightmap_generator = nil _G[''] = nil collectgarbage()\n");
    EXPECT_EQ(run.Output, "gc\ngc\ngc\n");
    EXPECT_TRUE(Harness.TheKernel.GetWindow().MoveWindow(1, 1)); // the host's window is alive
    EXPECT_EQ(InitWith(PrintGenerator).Output, "150\t50\t50\t4\t8\n");
}

TEST(ScriptModuleUnloadTest, UnloadingTheModuleClosesItsStatesQuietly) {
    testing::internal::CaptureStdout();
    {
        ModuleHarness harness;
        ASSERT_TRUE(harness.Create());
        harness.WriteFile("HeightmapGeneration.lua", "kept = Window() kept:PlaceWindow(1, 2)");
        EXPECT_TRUE(harness.Init());
        harness.Release();
    } // the module goes with the harness; the sanitizers' leak check sees whether kept was deleted
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ScriptModuleTest, AStateThatCannotBeOpenedSkipsBindingAndScript) {
    RefuseStateMemory = true;
    const Printed run = InitWith("heightmap_generator.Width = 100 print('ran')");
    EXPECT_TRUE(run.Result);
    EXPECT_EQ(run.Output, "");
    const std::vector<std::string> messages = Messages(Harness);
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Initialising VeltraEngine...");
    EXPECT_EQ(messages[1], "-> Open VM : KO");
    EXPECT_EQ(Count(messages, "-> Open VM : OK"), 0);
    EXPECT_EQ(Count(messages, "-> Binding stuff to VM..."), 0);
    const Terrain terrain = BuiltTerrain(); // the defaults: the script never ran
    EXPECT_EQ(terrain.Columns, 50);
    EXPECT_EQ(terrain.Rows, 50);
    EXPECT_EQ(terrain.Highest, 250.0f);
}

} // namespace
