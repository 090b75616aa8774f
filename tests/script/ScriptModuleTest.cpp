// The configuration script through the built module, as a host runs it: what Init logs, the
// script state each Init opens and closes, and a state that cannot be opened.

#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <lua.hpp>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool RefuseStateMemory = false;
std::vector<std::string> StateEvents; // "open" and "close", in the order the module called them

} // namespace

// The module finds these definitions before Lua's own (the executable exports them): a test sees
// when states are opened and closed, and can make every allocation of a new state fail.
extern "C" __attribute__((visibility("default"))) lua_State* lua_newstate(lua_Alloc allocate, void* budget) {
    StateEvents.emplace_back("open");
    const lua_Alloc refuse = [](void*, void* block, std::size_t, std::size_t newSize) -> void* {
        return newSize == 0 ? (std::free(block), nullptr) : nullptr;
    };
    return reinterpret_cast<lua_State* (*)(lua_Alloc, void*)>(
        dlsym(dlopen("liblua5.4.so.0", RTLD_NOW | RTLD_NOLOAD), "lua_newstate"))(
        RefuseStateMemory ? refuse : allocate, budget);
}
extern "C" __attribute__((visibility("default"))) void lua_close(lua_State* L) {
    StateEvents.emplace_back("close");
    reinterpret_cast<void (*)(lua_State*)>(
        dlsym(dlopen("liblua5.4.so.0", RTLD_NOW | RTLD_NOLOAD), "lua_close"))(L);
}

namespace {

// Init with the script; what it printed, then the first three messages it logged (time stamps cut).
std::string Init(ModuleHarness& harness, const std::string& script) {
    harness.WriteFile("HeightmapGeneration.lua", script);
    const std::size_t before = harness.LogLines().size();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(harness.Init());
    std::string printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    const std::vector<std::string> lines = harness.LogLines();
    for (std::size_t line = before; line < std::min(before + 5, lines.size()); ++line)
        if (lines[line].find('\t') != std::string::npos && std::ranges::count(printed, '|') < 3)
            printed.append("|").append(lines[line], lines[line].find('\t') + 1);
    return printed;
}

TEST(ScriptModuleTest,
     EachInitRunsTheScriptInAFreshStateAfterClosingThePreviousOneAndUnloadingClosesTheLast) {
    const std::string script =
        "print(type(window), type(Window), type(_G['']), seen) seen = true\n"
        "heightmap_generator.Width = 100 window:PlaceWindow(0, 0) window:ResizeWindow(640, 480)\n"
        "window:HideWindow() window = nil collectgarbage() kept = Window()";
    const std::string logged = "|Initialising VeltraEngine...|-> Open VM : OK|-> Binding stuff to VM...";
    StateEvents.clear();
    {
        ModuleHarness harness;
        ASSERT_TRUE(harness.Create()) << harness.Module.Error();
        const auto vertices = [&] { return TerrainReadBack::From(harness.Device).Grid.size(); };
        EXPECT_EQ(Init(harness, ""), logged);
        EXPECT_EQ(vertices(), 50u * 50);
        for (int pass = 0; pass < 2; ++pass)
            EXPECT_EQ(Init(harness, script), "table\tfunction\tfunction\tnil\ngc\n" + logged);
        EXPECT_EQ(vertices(), 100u * 50);
        const Window& window = harness.TheKernel.GetWindow(); // arranged by the script, and still the host's
        EXPECT_EQ(std::vector({window.X, window.Width, window.Height, int{window.Visible}}),
                  std::vector({0, 640, 480, 0}));
        // A state that cannot be opened: no binding, no script.
        RefuseStateMemory = true;
        EXPECT_EQ(Init(harness, "heightmap_generator.Width = 100 print('ran')").substr(0, 50),
                  "|Initialising VeltraEngine...|-> Open VM : KO|-> T");
        RefuseStateMemory = false;
        Init(harness, script);
        testing::internal::CaptureStdout();
        harness.Release();
        harness.Destroy();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // the last state closed quietly
    EXPECT_EQ(StateEvents, (std::vector<std::string>{"open", "close", "open", "close", "open", "close",
                                                     "open", "open", "close"}));
}

} // namespace
