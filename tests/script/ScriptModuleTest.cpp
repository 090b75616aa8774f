// The configuration script through the built module, as a host runs it: what Init logs, the
// script state each Init opens and closes, and a state that cannot be opened. What hostile scripts do to Init
// is in the hostile catalogue.

#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"

#include <lua.hpp>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {

bool RefuseStateMemory = false;
std::vector<std::string> StateEvents; // "open" and "close", in the order the module called them

void* RefuseEverything(void* /*budget*/, void* block, std::size_t /*oldSize*/, std::size_t newSize) {
    if (newSize == 0)
        std::free(block);
    return nullptr;
}

template <typename Function>
Function Real(const char* name) {
    void* library = dlopen("liblua5.4.so.0", RTLD_NOW | RTLD_NOLOAD);
    auto function = reinterpret_cast<Function>(dlsym(library, name));
    dlclose(library);
    return function;
}

} // namespace

// The module finds these definitions before Lua's own (the executable exports them): a test sees
// when states are opened and closed, and can make every allocation of a new state fail.
extern "C" __attribute__((visibility("default"))) lua_State* lua_newstate(lua_Alloc allocate, void* budget) {
    StateEvents.emplace_back("open");
    return Real<lua_State* (*)(lua_Alloc, void*)>("lua_newstate")(
        RefuseStateMemory ? &RefuseEverything : allocate, budget);
}
extern "C" __attribute__((visibility("default"))) void lua_close(lua_State* L) {
    StateEvents.emplace_back("close");
    Real<void (*)(lua_State*)>("lua_close")(L);
}

namespace {

class ScriptModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        StateEvents.clear();
        ASSERT_TRUE(Harness.Create()) << Harness.Module.Error();
    }
    void TearDown() override { RefuseStateMemory = false; }

    // Init; what it printed on standard output, standard error and in the log (messages only).
    struct Printed {
        std::string Output, Errors;
        std::vector<std::string> Logged;
    };
    Printed Init() {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_TRUE(Harness.Init());
        Printed printed{testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr(), {}};
        for (const std::string& line : Harness.LogLines())
            if (line.find('\t') != std::string::npos)
                printed.Logged.push_back(line.substr(line.find('\t') + 1));
        return printed;
    }
    int TerrainVertices() const {
        return Harness.Device.LastVertexBuffer(TerrainVertex::FormatCode)->AllocatedCount;
    }

    ModuleHarness Harness;
};

TEST_F(ScriptModuleTest, EachInitRunsTheScriptInAFreshStateAfterClosingThePreviousOne) {
    const Printed run = Init(); // no script: the defaults, silently
    EXPECT_EQ(run.Output + run.Errors, "");
    ASSERT_GE(run.Logged.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(run.Logged.begin(), run.Logged.begin() + 3),
              (std::vector<std::string>{"Initialising VeltraEngine...", "-> Open VM : OK",
                                        "-> Binding stuff to VM..."}));
    EXPECT_EQ(TerrainVertices(), 50 * 50);

    Harness.WriteFile(
        "HeightmapGeneration.lua",
        "print(type(window), type(Window), type(_G['']), seen) seen = true\n"
        "heightmap_generator.Width = 100 window:PlaceWindow(0, 0) window:ResizeWindow(640, 480)\n"
        "window:HideWindow() window = nil collectgarbage()");
    for (int pass = 0; pass < 2; ++pass)
        EXPECT_EQ(Init().Output, "table\tfunction\tfunction\tnil\ngc\n");
    EXPECT_EQ(StateEvents, (std::vector<std::string>{"open", "close", "open", "close", "open"}));
    EXPECT_EQ(TerrainVertices(), 100 * 50);
    Window& window = Harness.TheKernel.GetWindow(); // arranged by the script, and still the host's
    EXPECT_EQ(window.X, 0);
    EXPECT_EQ(window.Width, 640);
    EXPECT_EQ(window.Height, 480);
    EXPECT_FALSE(window.Visible);
    EXPECT_TRUE(window.MoveWindow(1, 1));
}

TEST(ScriptModuleUnloadTest, UnloadingTheModuleClosesItsLastStateQuietly) {
    StateEvents.clear();
    testing::internal::CaptureStdout();
    {
        ModuleHarness harness;
        ASSERT_TRUE(harness.Create());
        harness.WriteFile("HeightmapGeneration.lua", "kept = Window() kept:PlaceWindow(1, 2)");
        EXPECT_TRUE(harness.Init());
        harness.Release();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(StateEvents, (std::vector<std::string>{"open", "close"}));
}

TEST_F(ScriptModuleTest, AStateThatCannotBeOpenedSkipsBindingAndScript) {
    RefuseStateMemory = true;
    Harness.WriteFile("HeightmapGeneration.lua", "heightmap_generator.Width = 100 print('ran')");
    const Printed run = Init();
    EXPECT_EQ(run.Output, "");
    ASSERT_GE(run.Logged.size(), 2u);
    EXPECT_EQ(run.Logged[1], "-> Open VM : KO");
    for (const std::string& message : run.Logged)
        EXPECT_NE(message, "-> Binding stuff to VM...");
    EXPECT_EQ(TerrainVertices(), 50 * 50);
}

} // namespace
