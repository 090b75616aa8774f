#include "script/ScriptVM.h"

#include "script/ScriptSandbox.h"

#include <lua.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

struct MemoryBudget {
    std::size_t Limit = 0;
    std::size_t Used = 0;
};

// Lua's allocator with a ceiling: a request past the budget fails like an exhausted heap.
void* Allocate(void* budgetPointer, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<MemoryBudget*>(budgetPointer);
    const std::size_t held = block != nullptr ? oldSize : 0; // without a block oldSize is a type code
    if (newSize == 0) {
        std::free(block);
        budget->Used -= held;
        return nullptr;
    }
    if (newSize > held && newSize - held > budget->Limit - budget->Used)
        return nullptr;
    void* resized = std::realloc(block, newSize);
    if (resized != nullptr)
        budget->Used = budget->Used - held + newSize;
    return resized;
}

// Once the budget is spent, every further instruction fails too, so that a script cannot catch
// the error with pcall and carry on.
void StopRunawayScript(lua_State* L, lua_Debug* /*event*/) {
    lua_sethook(L, &StopRunawayScript, LUA_MASKCOUNT, 1);
    luaL_error(L, "script stopped: instruction limit reached");
}

struct OpenState {
    lua_State* State = nullptr;
    MemoryBudget Budget;
};

bool ClosingNow = false;

void CloseState(lua_State* L) {
    // Scripts never see the collections of the final close.
    ClosingNow = true;
    lua_close(L);
    ClosingNow = false;
}

// Every state the module opened; the rest are closed when the module goes.
class OpenStates {
public:
    OpenStates() = default;
    OpenStates(const OpenStates&) = delete;
    OpenStates& operator=(const OpenStates&) = delete;
    ~OpenStates() {
        for (const auto& entry : States)
            CloseState(entry->State);
    }

    std::vector<std::unique_ptr<OpenState>> States;
};

OpenStates& AllStates() {
    static OpenStates states;
    return states;
}

void PrintError(lua_State* L) {
    const int type = lua_type(L, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER)
        std::fprintf(stderr, "%s\n", lua_tostring(L, -1));
    else
        std::fprintf(stderr, "(error object is a %s value)\n", lua_typename(L, type));
    lua_pop(L, 1);
}

int OpenBase(lua_State* L) {
    luaL_requiref(L, "_G", luaopen_base, 1); // base library table
    script_sandbox::Restrict(L);
    return 0;
}

int LoadAndRun(lua_State* L) {
    const auto* fileName = static_cast<const char*>(lua_touserdata(L, 1));
    if (script_sandbox::LoadTextFile(L, fileName) != LUA_OK) // chunk or message
        return lua_error(L);
    lua_call(L, 0, 0);
    return 0;
}

} // namespace

lua_State* ScriptVM::Open(std::size_t memoryLimit, std::int32_t instructionLimit) {
    auto entry = std::make_unique<OpenState>();
    entry->Budget.Limit = memoryLimit;
    lua_State* L = lua_newstate(&Allocate, &entry->Budget);
    if (L == nullptr)
        return nullptr;
    lua_sethook(L, &StopRunawayScript, LUA_MASKCOUNT, std::max(instructionLimit, 1));
    entry->State = L;
    AllStates().States.push_back(std::move(entry));
    return L;
}

bool ScriptVM::OpenBaseLibrary(lua_State* L) {
    return Call(L, &OpenBase, nullptr);
}

bool ScriptVM::Call(lua_State* L, lua_CFunction function, void* context) {
    const int top = lua_gettop(L);
    lua_pushcfunction(L, function);    // function
    lua_pushlightuserdata(L, context); // function, context
    const bool succeeded = lua_pcall(L, 1, 0, 0) == LUA_OK;
    if (!succeeded)
        PrintError(L);
    lua_settop(L, top);
    return succeeded;
}

bool ScriptVM::RunFile(lua_State* L, const char* fileName) {
    // Only an absent file is silent; anything else there that cannot be read is reported.
    struct stat status {};
    if (::stat(fileName, &status) != 0 && errno == ENOENT)
        return false;
    return Call(L, &LoadAndRun, const_cast<char*>(fileName));
}

void ScriptVM::Close(lua_State* L) {
    auto& states = AllStates().States;
    auto found =
        std::find_if(states.begin(), states.end(), [L](const auto& entry) { return entry->State == L; });
    if (found == states.end())
        return;
    CloseState(L);
    states.erase(found);
}

bool ScriptVM::Closing() {
    return ClosingNow;
}

std::size_t ScriptVM::MemoryInUse(lua_State* L) {
    void* budget = nullptr;
    lua_getallocf(L, &budget);
    return static_cast<MemoryBudget*>(budget)->Used;
}
