// The script state itself: its one library, the base functions it replaces working as Lua's own
// for all they do not refuse (what they refuse is in the hostile catalogue), and the budgets where
// the engine's defaults cannot show them. The generator binding is seen through the module.

#include "ScriptFixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using ScriptVMTest = ScriptFixture;

TEST_F(ScriptVMTest, OnlyTheBaseLibraryIsOpenAndWhatItDoesNotRefuseWorksAsLuasOwn) {
    const auto file =
        std::filesystem::temp_directory_path() / ("veltra-sandbox-" + std::to_string(::getpid()));
    std::ofstream(file) << "return x or 7, ...\n";
    // Forward slashes, which every system takes, keep a Lua string free of escapes.
    const std::string name = '\'' + file.generic_string() + '\'';
    const std::pair<std::string, std::string> cases[] = {
        {"print(io, os, string, table, math, package, require, debug, type(pcall))",
         "nil\tnil\tnil\tnil\tnil\tnil\tnil\tnil\tfunction\n"},
        {"print(dofile(" + name + "), loadfile(" + name + ", 'bt', {x = 9})(), loadfile(" + name + ")(8))",
         "7\t9\t7\t8\n"},
        {"print(loadfile(" + name + " .. '.missing'))",
         "nil\tcannot open " + file.generic_string() + ".missing: No such file or directory\n"},
        {"local parts, i = {'return ', '5'}, 0 print(load('return 6 * 7', 'sum')(),\n"
         "  load(function() i = i + 1 return parts[i] end)(), load('return x', 'env', 't', {x = 7})())",
         "42\t5\t7\n"},
        {"print(setmetatable({}, {__index = {a = 1}}).a, getmetatable(setmetatable({}, nil)), "
         "pcall(setmetatable, {}, 5))",
         "1\tnil\tfalse\tbad argument #2 to 'setmetatable' (nil or table expected, got number)\n"},
        {"print(xpcall(function(a, b) return a + b, 'ok' end, print, 2, 3))\n"
         "print(xpcall(error, function(m) return 'handled ' .. m end, 'boom'))",
         "true\t5\tok\nfalse\thandled boom\n"},
    };
    for (const auto& [code, printed] : cases)
        EXPECT_EQ(Run(code), printed) << code;
    std::filesystem::remove(file);
}

TEST_F(ScriptVMTest, MemoryFreedAfterTheCeilingIsReachedCanBeUsedAgain) {
    const std::size_t limit = std::size_t{1} << 20;
    Open(limit);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Run("gadget.Count = 9 local t = {}\nfor i = 1, 1e8 do t[i] = i end gadget.Count = 10"),
                  "Script failed: test:2: script stopped: memory limit reached (1 MB)\n");
        EXPECT_EQ(TheGadget.Count, 9);
        EXPECT_LE(ScriptVM::MemoryInUse(L), limit);
        lua_gc(L, LUA_GCCOLLECT);
        EXPECT_LT(ScriptVM::MemoryInUse(L), limit / 4);
        EXPECT_TRUE(Run("local t = {1, 2, 3}").empty() && ScriptVM::LastFailure(L).empty());
    }
}

TEST_F(ScriptVMTest, TheTimeLimitCountsFromEachCallAndOnceReachedStopsTheStateForGood) {
    Open(ScriptVM::DefaultMemoryLimit, ScriptVM::DefaultInstructionLimit, 200ms);
    ::usleep(300'000); // longer than the limit, but no script was running
    EXPECT_EQ(Run("gadget.Count = 8 for i = 1, 3e6 do end"), ""); // millions of instructions are allowed
    EXPECT_EQ(TheGadget.Count, 8);
    // Each concatenation copies 16 MB: few instructions, much time.
    EXPECT_THAT(Run("gadget.Count = 6 local s = 'x' for i = 1, 24 do s = s .. s end\n"
                    "while true do pcall(function() while true do local t = s .. 'y' end end) end"),
                testing::HasSubstr("test:2: script stopped: time limit reached (200 ms)"));
    EXPECT_THAT(Run("gadget.Count = 7"), testing::HasSubstr("time limit reached"));
    EXPECT_EQ(TheGadget.Count, 6);
}

TEST_F(ScriptVMTest, TheInstructionLimitStopsAScriptAndEveryInstructionAfterIt) {
    Open(ScriptVM::DefaultMemoryLimit, 100'000);
    // Catching the error must not let the script carry on.
    EXPECT_THAT(
        Run("gadget.Count = 5 while true do pcall(function() while true do end end) gadget.Count = 6 end"),
        testing::HasSubstr("test:1: script stopped: instruction limit reached (100000 instructions)"));
    EXPECT_EQ(TheGadget.Count, 5);
}

} // namespace
