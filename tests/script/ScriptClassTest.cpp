// Bound classes seen from real scripts: property writes, method arguments, refusals, and who
// deletes what. Closing a state quietly is seen through the module (ScriptModuleTest).

#include "ScriptFixture.h"
#include "script/ScriptValue.h"

namespace {

using ScriptClassTest = ScriptFixture;

TEST_F(ScriptClassTest,
       WritesTruncateAndSaturateMethodsTakeTheLastArgumentsAndCallsWithoutTheirObjectAreRefused) {
    const std::string refused = "ERROR : trying to call a method without its object\nnil\n";
    const std::string unknown = "ERROR : trying to set an unknown variable\n";
    // State: count x,y widthxheight visible calls, from "1 99,99 0x0 0 0" before each row.
    const std::string cases[][3] = {
        {"gadget.Count = 7.9 print(gadget.Count)", "7\n", "7 99,99 0x0 0 0"},
        {"gadget.Count = -0.5", "", "0 99,99 0x0 0 0"},
        {"gadget.Count = 2147483647.9", "", "2147483647 99,99 0x0 0 0"},
        {"gadget.Count = 1/0", "", "2147483647 99,99 0x0 0 0"},
        {"gadget.Count = -2^31", "", "-2147483648 99,99 0x0 0 0"},
        {"gadget.Count = -2^31-1", "", "-2147483648 99,99 0x0 0 0"},
        {"gadget.Count = 0/0", "", "0 99,99 0x0 0 0"},
        {"gadget.Count = '12'", "", "0 99,99 0x0 0 0"},
        {"print(window:PlaceWindow(10, 20))", "1\n", "1 10,20 0x0 0 0"},
        {"print(window:PlaceWindow(1, 2, 3))", "1\n", "1 2,3 0x0 0 0"},
        {"window:PlaceWindow(7)", "", "1 0,7 0x0 0 0"},
        {"window:PlaceWindow(2.9, -2.9)", "", "1 2,-2 0x0 0 0"},
        {"window:PlaceWindow('12', nil)", "", "1 0,0 0x0 0 0"},
        {"window:PlaceWindow(3e10, -3e10)", "", "1 2147483647,-2147483648 0x0 0 0"},
        {"window:MoveWindow(1, 2) window:ResizeWindow(640, 480)", "", "1 100,101 640x480 0 0"},
        {"window:ShowWindow(false)", "", "1 99,99 0x0 1 0"},
        {"window:ShowWindow(true) window:HideWindow()", "", "1 99,99 0x0 0 0"},
        {"print(gadget:Poke(-1, 4), gadget:Poke(1, 4))", "0\t1\n", "1 99,99 0x0 0 2"},
        {"window.MoveWindow = 5 print(type(window.MoveWindow))",
         "  ERROR : trying to assign a function\nfunction\n", "1 99,99 0x0 0 0"},
        {"print((window.MoveWindow(1, 2)))", refused, "1 99,99 0x0 0 0"},
        {"print((window.MoveWindow()))", refused, "1 99,99 0x0 0 0"},
        {"print((window.MoveWindow(gadget, 1, 2)))", refused, "1 99,99 0x0 0 0"},
        {"print((window.MoveWindow({[0] = window}, 1, 2)))", refused, "1 99,99 0x0 0 0"},
        {"print((gadget.Poke(window, 1, 2)))", refused, "1 99,99 0x0 0 0"},
        // The dot form with the object in front is the colon form; a made window is another object.
        {"print(window.MoveWindow(window, 1, 2)) Window():MoveWindow(5, 5) collectgarbage()", "1\ngc\n",
         "1 100,101 0x0 0 0"},
        {"gadget.Nothing = 5 gadget[0] = 1 window.X = 9 print(gadget.Nothing, gadget[0], gadget[1], "
         "rawget(gadget, 'Nothing'), next(gadget))",
         unknown + unknown + unknown + "nil\tnil\tnil\tnil\tnil\n", "1 99,99 0x0 0 0"},
    };
    for (const auto& [code, printed, state] : cases) {
        TheGadget.Count = 1;
        TheGadget.Calls = HostWindow.Width = HostWindow.Height = HostWindow.Visible = 0;
        HostWindow.X = HostWindow.Y = 99;
        EXPECT_EQ(Run(code), printed) << code;
        EXPECT_EQ(State(), state) << code;
    }
}

TEST_F(ScriptClassTest, TheCollectorDeletesWhatScriptsMadeEvenUnderAFinalizerAndNeverBoundObjects) {
    const int deletedBefore = Gadget::Deleted;
    // Scripts may not give tables finalizers; native code still can, and the binding must cope.
    lua_pushcfunction(L,
                      ([](lua_State* state) { return lua_settop(state, 2), lua_setmetatable(state, 1), 1; }));
    lua_setglobal(L, "setmetatable");
    // The gadget is finalized (deleted) before its holder, whose finalizer was set first.
    EXPECT_EQ(Run("local made = Gadget() made.Count = 3 made:Poke(5, 6) print(made.Count, gadget.Count)\n"
                  "local holder = setmetatable({}, {__gc = function(self)\n"
                  "  print(self.made:Poke(1, 2), self.made.Count) self.made.Count = 3 end})\n"
                  "holder.made, holder, made = Gadget(), nil, nil collectgarbage()\n"
                  "gadget = nil window = nil collectgarbage()"),
              "5\t150\ngc\nERROR : trying to call a method without its object\nnil\tnil\ngc\ngc\ngc\n");
    EXPECT_EQ(Gadget::Deleted, deletedBefore + 2);
    EXPECT_EQ(State(), "150 0,0 0x0 0 0");
}

// Method arguments are read one by one in whatever order the compiler chooses: reading one, a
// handle included, must not move the others. A handle is no table of the script's; every other kind
// of value reads as its own.
TEST_F(ScriptClassTest, ValuesReadAsTheirKindAndAHandleLeavesTheStackAlone) {
    lua_getglobal(L, "gadget");
    ScriptValue value;
    EXPECT_TRUE(value.Read(L, 1) && lua_gettop(L) == 1);
    EXPECT_TRUE(value.GetInt() == 0 && value.GetFloat() == 0.0f && value.GetDouble() == 0.0 &&
                value.GetString() == nullptr && value.GetUserData() == nullptr); // no value of any kind
    // Every kind has its code; those that carry something go back as they came and read as what they are.
    lua_newtable(L), lua_pushstring(L, "text"), lua_pushlightuserdata(L, &value), lua_pushnumber(L, 2.5);
    lua_newuserdatauv(L, 1, 0), lua_getglobal(L, "print"), lua_pushnil(L), lua_pushboolean(L, 1);
    std::vector<int> codes;
    for (int index = 1; index <= 9; ++index)
        codes.push_back(ScriptValue::TypeOf(L, index));
    EXPECT_EQ(codes, (std::vector{-1, 4, 3, 0, 2, 0, 5, 1, -1}));
    for (int index = 3; index <= 5; ++index)
        EXPECT_TRUE(value.Read(L, index) && value.Push(L) && lua_rawequal(L, index, index + 7)) << index;
    EXPECT_TRUE(value.Read(L, 3) && value.GetString() == std::string("text") && value.Read(L, 4) &&
                value.GetUserData() == &value);
}

} // namespace
