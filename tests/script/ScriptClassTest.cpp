// Bound classes seen from real scripts: property writes and reads, keys that name nothing, and
// who deletes what: the collector, closing a state, a second state beside the first.

#include "ScriptFixture.h"

#include "script/ScriptBindings.h"
#include "script/ScriptVM.h"
#include "script/ScriptValue.h"

#include <lua.hpp>

#include <limits>

namespace {

using ScriptClassTest = ScriptFixture;
constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

// Scripts may not give tables finalizers; native code still can, and the binding must cope.
void AllowFinalizers(lua_State* L) {
    lua_pushcfunction(L, [](lua_State* state) {
        lua_settop(state, 2);
        lua_setmetatable(state, 1);
        return 1;
    });
    lua_setglobal(L, "setmetatable");
}

TEST_F(ScriptClassTest, WritesTruncateSaturateAndAnythingButANumberStoresZero) {
    const struct {
        const char* Value;
        std::int32_t Expected;
    } cases[] = {{"7.9", 7},          {"-2.9", -2},    {"-0.5", 0},       {"2147483647.9", IntMax},
                 {"2^31", IntMax},    {"1/0", IntMax}, {"-2^31", IntMin}, {"-2147483648.9", IntMin},
                 {"-2^31-1", IntMin}, {"0/0", 0},      {"'12'", 0},       {"nil", 0},
                 {"{}", 0},           {"print", 0},    {"true", 0},       {"gadget", 0}};
    for (const auto& c : cases) {
        TheGadget.Count = 1;
        EXPECT_EQ(Output(std::string("gadget.Count = ") + c.Value), "") << c.Value;
        EXPECT_EQ(TheGadget.Count, c.Expected) << c.Value;
    }
    EXPECT_EQ(Output("gadget.Count = 7.9 print(gadget.Count)"), "7\n"); // an integer, not 7.0
}

// Method arguments are read from the stack one by one, in whatever order the compiler chooses:
// reading one, a handle included, must not move the others.
TEST_F(ScriptClassTest, ReadingAHandleAsAValueLeavesTheStackAlone) {
    lua_getglobal(L, "gadget");
    ScriptValue value;
    value.Read(L, 1);
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(value.GetInt(), 0);
}

TEST_F(ScriptClassTest, KeysThatNameNothingReadNilAndAreNeverStored) {
    EXPECT_EQ(Output("gadget.Nothing = 5 gadget[0] = 1 window.X = 9"),
              "ERROR : trying to set an unknown variable\nERROR : trying to set an unknown variable\n"
              "ERROR : trying to set an unknown variable\n");
    EXPECT_EQ(Output("print(gadget.Nothing, gadget[0], gadget[1], rawget(gadget, 'Nothing'), next(gadget))"),
              "nil\tnil\tnil\tnil\tnil\n");
    EXPECT_EQ(HostWindow.X, 0);
    EXPECT_EQ(Output("gadget.Count = 4 print(gadget.Count)"), "4\n");
}

TEST_F(ScriptClassTest, TheCollectorDeletesWhatScriptsMadeAndLeavesBoundObjectsToTheirOwners) {
    const int deletedBefore = Gadget::Deleted;
    EXPECT_EQ(Output("local made = Gadget() made.Count = 3 made:Poke(5, 6) print(made.Count, gadget.Count)"),
              "5\t150\n");
    EXPECT_EQ(TheGadget.Calls, 0);
    EXPECT_EQ(Output("collectgarbage()"), "gc\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
    EXPECT_EQ(Output("gadget = nil window = nil collectgarbage()"), "gc\ngc\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
    EXPECT_EQ(TheGadget.Count, 150);
}

TEST_F(ScriptClassTest, AFinalizerThatOutlivesItsObjectReachesNothing) {
    // The holder's finalizer is set first, so the gadget is finalized (deleted) before it runs.
    const int deletedBefore = Gadget::Deleted;
    AllowFinalizers(L);
    EXPECT_EQ(Output("local holder = setmetatable({}, {__gc = function(self)\n"
                     "  print(self.made:Poke(1, 2), self.made.Count) self.made.Count = 3 end})\n"
                     "holder.made = Gadget() holder = nil collectgarbage()"),
              "gc\nERROR : trying to call a method without its object\nnil\tnil\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
}

TEST_F(ScriptClassTest, ClosingAStateDeletesWhatItsScriptsMadeQuietlyAndRunsNothingOnBoundObjects) {
    // A second state beside the first: its own window, the same classes, registered once each.
    lua_State* second = ScriptVM::Open();
    ASSERT_TRUE(ScriptVM::OpenBaseLibrary(second));
    Window otherWindow;
    Gadget otherGadget;
    ASSERT_TRUE(BindWindowClass(second, otherWindow));
    ASSERT_TRUE(BindGadgetClass(second, otherGadget));
    ASSERT_TRUE(BindGadgetClass(second, otherGadget, "again"));
    ASSERT_EQ(luaL_dostring(second, "window:PlaceWindow(5, 6) again.Count = 9"), LUA_OK);
    ASSERT_EQ(Run("window:PlaceWindow(7, 8)"), "");
    EXPECT_EQ(otherWindow.X, 5);
    EXPECT_EQ(otherGadget.Count, 9);
    EXPECT_EQ(HostWindow.X, 7);

    const int deletedBefore = Gadget::Deleted;
    AllowFinalizers(second);
    ASSERT_EQ(luaL_dostring(second, "made = Gadget() setmetatable({}, {__gc = function() "
                                    "gadget:Poke(1, 1) gadget.Count = 1 end})"),
              LUA_OK);
    testing::internal::CaptureStdout();
    ScriptVM::Close(second);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
    EXPECT_EQ(otherGadget.Calls, 0);
    EXPECT_EQ(otherGadget.Count, 9);
    EXPECT_EQ(Output("print(window:PlaceWindow(1, 2), gadget.Count)"), "1\t150\n");
}

} // namespace
