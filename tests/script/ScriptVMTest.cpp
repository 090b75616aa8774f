// The script state itself: its one library and its budgets, made small so that each shows on its
// own. Scripts that hit the budgets through the engine are in the hostile catalogue.

#include "ScriptFixture.h"

#include "script/ScriptVM.h"

#include <gmock/gmock.h>
#include <lua.hpp>

#include <chrono>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

TEST_F(ScriptFixture, OnlyTheBaseLibraryIsOpen) {
    EXPECT_EQ(Output("print(io, os, string, table, math, package, require, debug, type(pcall))"),
              "nil\tnil\tnil\tnil\tnil\tnil\tnil\tnil\tfunction\n");
}

// A state with small budgets and the gadget bound; runs code as the engine runs its script.
class BudgetTest : public ::testing::Test {
protected:
    void Open(std::size_t memoryLimit, std::chrono::milliseconds timeLimit,
              std::int32_t instructionLimit = ScriptVM::DefaultInstructionLimit) {
        L = ScriptVM::Open(memoryLimit, instructionLimit, timeLimit);
        ASSERT_NE(L, nullptr);
        ASSERT_TRUE(ScriptVM::OpenBaseLibrary(L));
        ASSERT_TRUE(BindGadgetClass(L, TheGadget));
    }
    void TearDown() override { ScriptVM::Close(L); }
    // What the code printed on standard error.
    std::string Run(const std::string& code) {
        testing::internal::CaptureStderr();
        ScriptVM::Call(
            L,
            [](lua_State* state) {
                luaL_loadstring(state, static_cast<const std::string*>(lua_touserdata(state, 1))->c_str());
                lua_call(state, 0, 0);
                return 0;
            },
            const_cast<std::string*>(&code));
        return testing::internal::GetCapturedStderr();
    }
    lua_State* L = nullptr;
    Gadget TheGadget;
};

TEST_F(BudgetTest, MemoryFreedAfterTheCeilingIsReachedCanBeUsedAgain) {
    const std::size_t limit = std::size_t{1} << 20;
    Open(limit, ScriptVM::DefaultTimeLimit);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Run("gadget.Count = 9 local t = {} for i = 1, 1e8 do t[i] = i end gadget.Count = 10"),
                  "not enough memory\n");
        EXPECT_EQ(TheGadget.Count, 9);
        EXPECT_LE(ScriptVM::MemoryInUse(L), limit);
        lua_gc(L, LUA_GCCOLLECT);
        EXPECT_LT(ScriptVM::MemoryInUse(L), limit / 4);
    }
}

TEST_F(BudgetTest, TheInstructionLimitStopsAScriptAndEveryInstructionAfterIt) {
    Open(ScriptVM::DefaultMemoryLimit, ScriptVM::DefaultTimeLimit, 100'000);
    // Catching the error must not let the script carry on.
    EXPECT_THAT(
        Run("gadget.Count = 5 while true do pcall(function() while true do end end) gadget.Count = 6 end"),
        testing::HasSubstr("script stopped: instruction limit reached"));
    EXPECT_EQ(TheGadget.Count, 5);
}

TEST_F(BudgetTest, TheTimeLimitCountsFromEachCallAndOnceReachedStopsTheStateForGood) {
    Open(ScriptVM::DefaultMemoryLimit, 200ms);
    ::usleep(300'000); // longer than the limit, but no script was running
    EXPECT_EQ(Run("gadget.Count = 8 for i = 1, 100000 do end"), "");
    EXPECT_EQ(TheGadget.Count, 8);
    // Each concatenation copies 16 MB: few instructions, much time.
    EXPECT_THAT(Run("gadget.Count = 6 local s = 'x' for i = 1, 24 do s = s .. s end\n"
                    "while true do pcall(function() while true do local t = s .. 'y' end end) end"),
                testing::HasSubstr("script stopped: time limit reached"));
    EXPECT_EQ(TheGadget.Count, 6);
    EXPECT_THAT(Run("gadget.Count = 7"), testing::HasSubstr("time limit reached"));
    EXPECT_EQ(TheGadget.Count, 6);
}

} // namespace
