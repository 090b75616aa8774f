// Bound classes seen from real scripts: property reads and writes, keys that name nothing, the
// constructor global and the collector, registering again and in a second state.

#include "ScriptFixture.h"

#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

#include <limits>

namespace {

using ScriptClassTest = ScriptFixture;

// Scripts may not give tables finalizers; native code still can, and the binding must cope with
// one. This puts Lua's own setmetatable back for the script that sets one up.
void AllowFinalizers(lua_State* L) {
    lua_pushcfunction(L, [](lua_State* state) {
        lua_settop(state, 2);
        lua_setmetatable(state, 1);
        return 1;
    });
    lua_setglobal(L, "setmetatable");
}

TEST_F(ScriptClassTest, WritesTruncateAndEverythingButANumberStoresZero) {
    const struct {
        const char* Expression;
        std::int32_t Expected;
    } cases[] = {{"7.9", 7},
                 {"-2.5", -2},
                 {"12", 12},
                 {"\"12\"", 0},
                 {"\"7.9\"", 0},
                 {"nil", 0},
                 {"{}", 0},
                 {"print", 0},
                 {"true", 0},
                 {"false", 0},
                 {"gadget", 0},
                 {"1e300", std::numeric_limits<std::int32_t>::max()},
                 {"2^31", std::numeric_limits<std::int32_t>::max()},
                 {"-1/0", std::numeric_limits<std::int32_t>::min()},
                 {"0/0", 0}};
    for (const auto& c : cases) {
        TheGadget.Count = 1;
        EXPECT_EQ(Output(std::string("gadget.Count = ") + c.Expression), "") << c.Expression;
        EXPECT_EQ(TheGadget.Count, c.Expected) << c.Expression;
    }
    EXPECT_EQ(Output("gadget.Count = 7.9 print(gadget.Count)"), "7\n");
}

TEST_F(ScriptClassTest, KeysThatNameNothingReadNilAndAreNeverStored) {
    EXPECT_EQ(Output("print(gadget.Nothing, gadget[0], gadget[1])"), "nil\tnil\tnil\n");
    EXPECT_EQ(Output("gadget.Nothing = 5 gadget[0] = 1"),
              "ERROR : trying to set an unknown variable\nERROR : trying to set an unknown variable\n");
    EXPECT_EQ(Output("print(gadget.Nothing, rawget(gadget, 'Nothing'), next(gadget))"), "nil\tnil\tnil\n");
    // The window class has no property at all: nothing to fall back on.
    HostWindow.X = 3;
    EXPECT_EQ(Output("window.X = 9 print(window.X)"), "ERROR : trying to set an unknown variable\nnil\n");
    EXPECT_EQ(HostWindow.X, 3);
    // The object behind the handle is still reached after all that.
    EXPECT_EQ(Output("gadget.Count = 4 print(gadget.Count)"), "4\n");
}

TEST_F(ScriptClassTest, ReadsWritesAndCallsAllocateNothing) {
    const char* loop =
        "local g = gadget for i = 1, 1000 do g.Count = i g.Size = g.Count + 0.5 g:Poke(i, 2) end";
    lua_gc(L, LUA_GCSTOP);
    ASSERT_EQ(Run(loop), ""); // the first run sizes the stack and the call records
    ASSERT_EQ(luaL_loadstring(L, loop), LUA_OK);
    const std::size_t before = ScriptVM::MemoryInUse(L);
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), LUA_OK);
    EXPECT_EQ(ScriptVM::MemoryInUse(L), before);
    EXPECT_EQ(TheGadget.Size, 1000);
    EXPECT_EQ(TheGadget.Calls, 2000);
}

TEST_F(ScriptClassTest, HandlesAreSealedTables) {
    EXPECT_EQ(Output("print(type(gadget), getmetatable(gadget), (pcall(setmetatable, gadget, {})))"),
              "table\tfalse\tfalse\n");
    EXPECT_EQ(Output("print(gadget.Count)"), "150\n");
}

TEST_F(ScriptClassTest, TheConstructorMakesASeparateObjectThatTheCollectorDeletes) {
    const int deletedBefore = Gadget::Deleted;
    EXPECT_EQ(Output("local made = Gadget() made.Count = 3 made:Poke(5, 6) print(made.Count, gadget.Count)"),
              "3\t150\n");
    EXPECT_EQ(TheGadget.Calls, 0);
    EXPECT_EQ(Output("collectgarbage()"), "gc\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
}

TEST_F(ScriptClassTest, AFinalizerThatOutlivesItsObjectReachesNothing) {
    // The holder's finalizer is set first, so the collector finalizes the gadget first: when
    // the holder's finalizer runs, the gadget has been deleted.
    const int deletedBefore = Gadget::Deleted;
    AllowFinalizers(L);
    EXPECT_EQ(Output("local holder = setmetatable({}, {__gc = function(self)\n"
                     "  print(self.made:Poke(1, 2), self.made.Count) self.made.Count = 3 end})\n"
                     "holder.made = Gadget() holder = nil collectgarbage()"),
              "gc\nERROR : trying to call a method without its object\nnil\tnil\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
}

TEST_F(ScriptClassTest, CollectingABoundInstanceLeavesItToItsOwner) {
    const int deletedBefore = Gadget::Deleted;
    EXPECT_EQ(Output("gadget = nil window = nil collectgarbage()"), "gc\ngc\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore);
    // Both are intact (a deletion would also have stopped the run under the sanitizers).
    EXPECT_EQ(TheGadget.Count, 150);
    EXPECT_TRUE(HostWindow.MoveWindow(1, 1));
}

TEST_F(ScriptClassTest, RegisteringAgainChangesNothing) {
    ASSERT_EQ(Run("Gadget = nil"), "");
    lua_getglobal(L, "gadget");
    ScriptClass<Gadget>::Register(L);
    ASSERT_TRUE(BindGadgetClass(L, TheGadget, "again"));
    lua_getglobal(L, "again");
    ASSERT_TRUE(lua_getmetatable(L, -2));
    ASSERT_TRUE(lua_getmetatable(L, -2));
    EXPECT_TRUE(lua_rawequal(L, -1, -2)); // one metatable for the class
    lua_settop(L, 0);
    EXPECT_EQ(Output("print(Gadget, again.Size)"), "nil\t50\n");
    EXPECT_EQ(ScriptClass<Gadget>::Methods().size(), 2u);
    EXPECT_EQ(ScriptClass<Gadget>::Properties().size(), 2u);
}

TEST_F(ScriptClassTest, ASecondStateWorksAsTheFirstAndBindsNothingTwice) {
    lua_State* second = ScriptVM::Open();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(ScriptVM::OpenBaseLibrary(second));
    Window otherWindow;
    ASSERT_TRUE(BindWindowClass(second, otherWindow));
    ASSERT_EQ(luaL_dostring(second, "window:PlaceWindow(5, 6) made = Window()"), LUA_OK);
    ASSERT_EQ(Run("window:PlaceWindow(7, 8)"), "");
    EXPECT_EQ(otherWindow.X, 5);
    EXPECT_EQ(HostWindow.X, 7);
    EXPECT_EQ(ScriptClass<Window>::Methods().size(), 5u);
    testing::internal::CaptureStdout();
    ScriptVM::Close(second); // quietly deletes what the script made
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Output("print(window:PlaceWindow(1, 2), window.PlaceWindow ~= nil)"), "1\ttrue\n");
}

// A class whose method comes after its instance was bound.
struct LateBound {
    bool Later() { return true; }
};

int RegisterLateBound(lua_State* L) {
    static LateBound instance;
    ScriptClass<LateBound>::Register(L);
    ScriptClass<LateBound>::BindInstance(L, &instance, "late");
    return 0;
}

TEST_F(ScriptClassTest, AMethodBoundAfterAnInstanceOnlyShowsInLaterObjects) {
    ScriptClass<LateBound> binder("LateBound");
    ASSERT_TRUE(ScriptVM::Call(L, &RegisterLateBound, nullptr));
    ScriptClass<LateBound>::AddMethod(&LateBound::Later, "Later");
    EXPECT_EQ(Output("print(late.Later, LateBound():Later())"), "nil\t1\n");
}

// A method and a property under one name.
struct Clash {
    std::int32_t Value = 5;
    bool Call() { return true; }
};

int RegisterClash(lua_State* L) {
    static Clash instance;
    ScriptClass<Clash> binder("Clash");
    ScriptClass<Clash>::Register(L);
    ScriptClass<Clash>::BindInstance(L, &instance, "clash");
    return 0;
}

TEST_F(ScriptClassTest, AMethodWinsOverAPropertyOfTheSameName) {
    static const bool bound = [] {
        ScriptClass<Clash>::AddProperty(&Clash::Value, "Value");
        ScriptClass<Clash>::AddMethod(&Clash::Call, "Value");
        return true;
    }();
    ASSERT_TRUE(bound);
    ASSERT_TRUE(ScriptVM::Call(L, &RegisterClash, nullptr));
    EXPECT_EQ(Output("print(type(clash.Value), clash:Value())"), "function\t1\n");
}

TEST_F(ScriptClassTest, ClosingTheStateDeletesWhatScriptsMadeAndNothingRunsOnBoundObjects) {
    const int deletedBefore = Gadget::Deleted;
    AllowFinalizers(L);
    ASSERT_EQ(Run("made = Gadget() "
                  "setmetatable({}, {__gc = function() gadget:Poke(9, 9) gadget.Count = 1 end})"),
              "");
    testing::internal::CaptureStdout();
    ScriptVM::Close(L);
    L = nullptr;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 1);
    EXPECT_EQ(TheGadget.Calls, 0);
    EXPECT_EQ(TheGadget.Count, 150);
}

} // namespace
