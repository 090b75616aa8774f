// The script state itself: its one library, its memory and instruction budgets, and running
// script files that are missing or fail.

#include "ScriptFixture.h"

#include "script/ScriptBindings.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using ScriptVMTest = ScriptFixture;

TEST_F(ScriptVMTest, OnlyTheBaseLibraryIsOpen) {
    EXPECT_EQ(Output("print(io, os, string, table, math, package, require, debug)"),
              "nil\tnil\tnil\tnil\tnil\tnil\tnil\tnil\n");
    EXPECT_EQ(Output("print(type(print), type(pcall), type(collectgarbage))"),
              "function\tfunction\tfunction\n");
}

// A state with small budgets and the gadget bound.
class BudgetTest : public ::testing::Test {
protected:
    void Open(std::size_t memoryLimit, std::int32_t instructionLimit,
              std::chrono::milliseconds timeLimit = ScriptVM::DefaultTimeLimit) {
        L = ScriptVM::Open(memoryLimit, instructionLimit, timeLimit);
        ASSERT_NE(L, nullptr);
        ASSERT_TRUE(ScriptVM::OpenBaseLibrary(L));
        ASSERT_TRUE(BindGadgetClass(L, TheGadget));
    }
    void TearDown() override {
        if (L != nullptr)
            ScriptVM::Close(L);
    }
    std::string Run(const char* code) {
        if (luaL_dostring(L, code) == LUA_OK)
            return "";
        std::string message = lua_tostring(L, -1);
        lua_pop(L, 1);
        return message;
    }
    // Runs code as the engine runs its script, through ScriptVM::Call; what it printed on
    // standard error.
    std::string RunCalled(const std::string& code) {
        testing::internal::CaptureStderr();
        ScriptVM::Call(
            L,
            [](lua_State* state) {
                const auto* text = static_cast<const std::string*>(lua_touserdata(state, 1));
                if (luaL_loadstring(state, text->c_str()) != LUA_OK)
                    return lua_error(state);
                lua_call(state, 0, 0);
                return 0;
            },
            const_cast<std::string*>(&code));
        return testing::internal::GetCapturedStderr();
    }
    lua_State* L = nullptr;
    Gadget TheGadget;
};

TEST_F(BudgetTest, AScriptThatWantsTooMuchMemoryStopsAndKeepsWhatItSet) {
    const std::size_t limit = std::size_t{1} << 20;
    Open(limit, ScriptVM::DefaultInstructionLimit);
    EXPECT_EQ(Run("gadget.Count = 9 local t = {} for i = 1, 1e8 do t[i] = i end gadget.Count = 10"),
              "not enough memory");
    EXPECT_EQ(TheGadget.Count, 9);
    EXPECT_LE(ScriptVM::MemoryInUse(L), limit);
    lua_gc(L, LUA_GCCOLLECT);
    EXPECT_EQ(Run("gadget.Size = 3"), ""); // the state is still usable
    EXPECT_EQ(TheGadget.Size, 3);
}

TEST_F(BudgetTest, ANeverEndingScriptStopsAndKeepsWhatItSet) {
    Open(ScriptVM::DefaultMemoryLimit, 100000);
    EXPECT_NE(Run("gadget.Count = 5 while true do end").find("instruction limit reached"), std::string::npos);
    EXPECT_EQ(TheGadget.Count, 5);
}

TEST_F(BudgetTest, TheHandlerOfTheLimitsErrorIsStoppedToo) {
    // Lua would run this handler with hooks off, where the limit could not reach it.
    Open(ScriptVM::DefaultMemoryLimit, 100000);
    EXPECT_NE(
        Run("gadget.Count = 5 xpcall(function() while true do end end, function() while true do end end)\n"
            "gadget.Count = 6")
            .find("instruction limit reached"),
        std::string::npos);
    EXPECT_EQ(TheGadget.Count, 5);
}

TEST_F(BudgetTest, FewInstructionsThatTakeLongStopAtTheTimeLimit) {
    // Each concatenation copies 16 MB: a hundred million instructions of it would take hours.
    Open(ScriptVM::DefaultMemoryLimit, ScriptVM::DefaultInstructionLimit, std::chrono::milliseconds(200));
    const std::string copying =
        "gadget.Count = 6 local s = 'x' for i = 1, 24 do s = s .. s end\n"
        "while true do pcall(function() while true do local t = s .. 'y' end end) end";
    EXPECT_NE(RunCalled(copying).find("script stopped: time limit reached"), std::string::npos);
    EXPECT_EQ(TheGadget.Count, 6);
    // The state stays stopped, and says why.
    EXPECT_NE(RunCalled("gadget.Count = 7").find("time limit reached"), std::string::npos);
    EXPECT_EQ(TheGadget.Count, 6);
}

TEST_F(BudgetTest, TheTimeLimitCountsFromEachCall) {
    Open(ScriptVM::DefaultMemoryLimit, ScriptVM::DefaultInstructionLimit, std::chrono::milliseconds(200));
    ::usleep(300'000); // longer than the limit, but no script was running
    EXPECT_EQ(RunCalled("gadget.Count = 8 for i = 1, 100000 do end"), "");
    EXPECT_EQ(TheGadget.Count, 8);
}

TEST_F(BudgetTest, CatchingTheInstructionLimitDoesNotKeepAScriptGoing) {
    Open(ScriptVM::DefaultMemoryLimit, 100000);
    EXPECT_NE(Run("while true do pcall(function() while true do end end) end").find("instruction limit"),
              std::string::npos);
}

TEST(ScriptFileTest, MissingFilesAreSilentAndFailuresPrintLuasMessage) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("veltra-script-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto write = [&](const char* name, const char* text) {
        std::ofstream(folder / name) << text;
        return (folder / name).string();
    };
    const std::string syntax = write("syntax.lua", "gadget.Count = 3\nthis is not lua\n");
    const std::string runtime =
        write("runtime.lua", "gadget.Count = 4\nnothing.at.all = 1\ngadget.Count = 5\n");
    const std::string good = write("good.lua", "gadget.Size = 6\n");
    const std::string missing = (folder / "missing.lua").string();

    lua_State* L = ScriptVM::Open();
    ASSERT_TRUE(ScriptVM::OpenBaseLibrary(L));
    Gadget gadget;
    ASSERT_TRUE(BindGadgetClass(L, gadget));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(ScriptVM::RunFile(L, missing.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(ScriptVM::RunFile(L, syntax.c_str()));
    const std::string syntaxError = testing::internal::GetCapturedStderr();
    EXPECT_NE(syntaxError.find("syntax.lua:2:"), std::string::npos) << syntaxError;
    EXPECT_EQ(gadget.Count, 150); // a chunk that does not compile runs nothing

    testing::internal::CaptureStderr();
    EXPECT_FALSE(ScriptVM::RunFile(L, runtime.c_str()));
    const std::string runtimeError = testing::internal::GetCapturedStderr();
    EXPECT_NE(runtimeError.find("runtime.lua:2:"), std::string::npos) << runtimeError;
    EXPECT_EQ(gadget.Count, 4);

    EXPECT_TRUE(ScriptVM::RunFile(L, good.c_str()));
    EXPECT_EQ(gadget.Size, 6);
    EXPECT_EQ(lua_gettop(L), 0);

    ScriptVM::Close(L);
    std::filesystem::remove_all(folder);
}

} // namespace
