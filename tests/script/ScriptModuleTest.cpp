// The configuration script through the built module, as a host runs it: what Init logs, the
// script state each Init opens and closes, and a state that cannot be opened.

#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"

#include <lua.hpp>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool RefuseStateMemory = false;
std::vector<std::string> StateEvents; // "open" and "close", in the order the module called them

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
    const lua_Alloc refuse = [](void*, void* block, std::size_t, std::size_t newSize) -> void* {
        return newSize == 0 ? (std::free(block), nullptr) : nullptr;
    };
    return Real<lua_State* (*)(lua_Alloc, void*)>("lua_newstate")(RefuseStateMemory ? refuse : allocate,
                                                                  budget);
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
    // Init with the script; what it printed, and the first three log messages (time stamps cut).
    std::string Init(const std::string& script) {
        Harness.WriteFile("HeightmapGeneration.lua", script);
        const std::vector<std::string> before = Harness.LogLines();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_TRUE(Harness.Init());
        std::string printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
        const std::vector<std::string> lines = Harness.LogLines();
        for (const std::string& line :
             std::vector(lines.begin() + static_cast<long>(before.size()), lines.end()))
            if (line.find('\t') != std::string::npos && std::ranges::count(printed, '|') < 3)
                printed += "|" + line.substr(line.find('\t') + 1);
        return printed;
    }
    int TerrainVertices() const {
        return Harness.Device.LastVertexBuffer(TerrainVertex::FormatCode)->AllocatedCount;
    }

    ModuleHarness Harness;
};

TEST_F(ScriptModuleTest, EachInitRunsTheScriptInAFreshStateAfterClosingThePreviousOne) {
    const std::string script =
        "print(type(window), type(Window), type(_G['']), seen) seen = true\n"
        "heightmap_generator.Width = 100 window:PlaceWindow(0, 0) window:ResizeWindow(640, 480)\n"
        "window:HideWindow() window = nil collectgarbage()";
    const std::string logged = "|Initialising VeltraEngine...|-> Open VM : OK|-> Binding stuff to VM...";
    EXPECT_EQ(Init(""), logged);
    EXPECT_EQ(TerrainVertices(), 50 * 50);
    for (int pass = 0; pass < 2; ++pass)
        EXPECT_EQ(Init(script), "table\tfunction\tfunction\tnil\ngc\n" + logged);
    EXPECT_EQ(StateEvents, (std::vector<std::string>{"open", "close", "open", "close", "open"}));
    EXPECT_EQ(TerrainVertices(), 100 * 50);
    Window& window = Harness.TheKernel.GetWindow(); // arranged by the script, and still the host's
    EXPECT_EQ(std::vector({window.X, window.Width, window.Height, int{window.Visible}}),
              std::vector({0, 640, 480, 0}));
    EXPECT_TRUE(window.MoveWindow(1, 1));
}

TEST_F(ScriptModuleTest, AStateThatCannotBeOpenedSkipsBindingAndScript) {
    RefuseStateMemory = true;
    const std::string printed = Init("heightmap_generator.Width = 100 print('ran')");
    EXPECT_TRUE(printed.starts_with("|Initialising VeltraEngine...|-> Open VM : KO|-> ")) << printed;
    EXPECT_EQ(printed.find("Binding"), std::string::npos) << printed;
    EXPECT_EQ(TerrainVertices(), 50 * 50);
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

} // namespace
