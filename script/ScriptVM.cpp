#include "script/ScriptVM.h"

#include "script/ScriptSandbox.h"

#include <lua.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t MessageSize = 320;

// What a state may spend. The allocator gets it as its user data, so the hook finds it too.
struct Budget {
    std::size_t Limit = 0; // bytes
    std::size_t Used = 0;
    std::int32_t InstructionLimit = 0;
    std::int64_t InstructionsLeft = 0;
    std::int32_t HookInterval = 1; // instructions between two calls of the hook
    std::chrono::milliseconds TimeLimit{0};
    bool TimeRunning = false; // inside ScriptVM::Call, whose start set Deadline
    Clock::time_point Deadline;
    lua_State* State = nullptr;       // once open, until closing: where a refused allocation was asked for
    bool StackWalkable = false;       // the running Lua lets the allocator read State's call stack
    char StoppedBy[MessageSize] = {}; // the message of the limit that stopped the state's scripts
    char MemoryRefused[MessageSize] = {}; // the message for the last allocation refused
    std::string LastFailure;
};

// "chunk:line: " of the innermost script function running on L, or "" when none is (or no L).
void Where(lua_State* L, char* text, std::size_t size) {
    lua_Debug frame{};
    text[0] = '\0';
    for (int level = 0; L != nullptr && lua_getstack(L, level, &frame) != 0; ++level)
        if (lua_getinfo(L, "Sl", &frame) != 0 && frame.currentline > 0) {
            std::snprintf(text, size, "%s:%d: ", frame.short_src, frame.currentline);
            return;
        }
}

// A limit's message: where the script was, which limit, and how much it allows.
void DescribeStop(lua_State* L, char* message, const char* limit, double amount, const char* unit) {
    char where[256];
    Where(L, where, sizeof(where));
    std::snprintf(message, MessageSize, "%sscript stopped: %s limit reached (%.10g %s)", where, limit, amount,
                  unit);
}

// Instructions between checks: a few instructions can each take milliseconds (copying a long
// string, collecting a full heap), so the clock is read often, yet cheaply.
constexpr std::int32_t CheckEvery = 100;

Budget* BudgetOf(lua_State* L) {
    void* budget = nullptr;
    lua_getallocf(L, &budget);
    return static_cast<Budget*>(budget);
}

// Lua's allocator with a ceiling: a request past the budget fails like an exhausted heap.
void* Allocate(void* budgetPointer, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<Budget*>(budgetPointer);
    const std::size_t held = block != nullptr ? oldSize : 0; // without a block oldSize is a type code
    if (newSize == 0) {
        std::free(block);
        budget->Used -= held;
        return nullptr;
    }
    if (newSize > held && newSize - held > budget->Limit - budget->Used) {
        // Where the script was is read off its call stack, when the running Lua allows it.
        if (budget->State != nullptr)
            DescribeStop(budget->StackWalkable ? budget->State : nullptr, budget->MemoryRefused, "memory",
                         static_cast<double>(budget->Limit) / (1 << 20), "MB");
        return nullptr;
    }
    void* resized = std::realloc(block, newSize);
    if (resized != nullptr)
        budget->Used = budget->Used - held + newSize;
    return resized;
}

// From Lua 5.4.5 on, a stack being reallocated holds offsets in place of pointers while it asks for
// memory, so the allocator may read the call stack only of an earlier release; a message then goes
// without the place rather than read a stack that is not one. The Lua linked at run time says which
// it is, not the headers built against: a shared library may be newer. lua_version gives only 504
// for every 5.4 release; lua_ident, the runtime's own banner ("$LuaVersion: Lua 5.4.4 ..."), names
// the release.
bool RuntimeLetsAllocatorWalkStack(lua_State* L) {
    int release = -1;
    const char* banner = std::strstr(lua_ident, "Lua 5.4.");
    return lua_version(L) == 504 && banner != nullptr && std::sscanf(banner, "Lua 5.4.%d", &release) == 1 &&
           release >= 0 && release < 5;
}

// Counts instructions and watches the clock. Once either budget is spent, every further
// instruction fails too, so that a script cannot catch the error with pcall and carry on.
void WatchScript(lua_State* L, lua_Debug* /*event*/) {
    Budget* budget = BudgetOf(L);
    if (budget->StoppedBy[0] == '\0') {
        budget->InstructionsLeft -= budget->HookInterval;
        if (budget->InstructionsLeft <= 0)
            DescribeStop(L, budget->StoppedBy, "instruction", budget->InstructionLimit, "instructions");
        else if (budget->TimeRunning && Clock::now() >= budget->Deadline)
            DescribeStop(L, budget->StoppedBy, "time", static_cast<double>(budget->TimeLimit.count()), "ms");
        else
            return;
        lua_sethook(L, &WatchScript, LUA_MASKCOUNT, 1);
    }
    lua_pushstring(L, budget->StoppedBy);
    lua_error(L);
}

struct OpenState {
    lua_State* State = nullptr;
    Budget Spending;
};

bool ClosingNow = false;

void CloseState(lua_State* L) {
    // Scripts never see the collections of the final close.
    ClosingNow = true;
    BudgetOf(L)->State = nullptr;
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

// Prints the error on top of the stack, pops it and keeps it as the state's last failure. An
// allocation the budget refused is named as the memory limit, where Lua only says it got none.
void Fail(lua_State* L, int status, Budget& budget) {
    const int type = lua_type(L, -1);
    if (status == LUA_ERRMEM && budget.MemoryRefused[0] != '\0')
        budget.LastFailure = budget.MemoryRefused;
    else if (type == LUA_TSTRING || type == LUA_TNUMBER)
        budget.LastFailure = lua_tostring(L, -1);
    else
        budget.LastFailure = std::string("(error object is a ") + lua_typename(L, type) + " value)";
    std::fprintf(stderr, "Script failed: %s\n", budget.LastFailure.c_str());
    lua_pop(L, 1);
}

int OpenBase(lua_State* L) {
    luaL_requiref(L, "_G", luaopen_base, 1); // base library table
    script_sandbox::Restrict(L);
    return 0;
}

// The message handler of Call: an error object that is no text gets the place it was raised at,
// which is gone once the stack has unwound. Text keeps the place Lua gave it (or the script did not).
int PlaceError(lua_State* L) {
    if (lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER)
        return 1;
    char where[256];
    Where(L, where, sizeof(where));
    lua_pushfstring(L, "%s(error object is a %s value)", where, luaL_typename(L, 1));
    return 1;
}

int LoadAndRun(lua_State* L) {
    const auto* fileName = static_cast<const char*>(lua_touserdata(L, 1));
    if (script_sandbox::LoadTextFile(L, fileName) != LUA_OK) // chunk or message
        return lua_error(L);
    lua_call(L, 0, 0);
    return 0;
}

} // namespace

lua_State* ScriptVM::Open(std::size_t memoryLimit, std::int32_t instructionLimit,
                          std::chrono::milliseconds timeLimit) {
    auto entry = std::make_unique<OpenState>();
    Budget& budget = entry->Spending;
    budget.Limit = memoryLimit;
    budget.InstructionLimit = std::max(instructionLimit, 1);
    budget.InstructionsLeft = std::max(instructionLimit, 1);
    budget.HookInterval = std::clamp(instructionLimit, 1, CheckEvery);
    budget.TimeLimit = timeLimit;
    lua_State* L = lua_newstate(&Allocate, &budget);
    if (L == nullptr)
        return nullptr;
    lua_sethook(L, &WatchScript, LUA_MASKCOUNT, budget.HookInterval);
    budget.StackWalkable = RuntimeLetsAllocatorWalkStack(L);
    budget.State = L;
    entry->State = L;
    AllStates().States.push_back(std::move(entry));
    return L;
}

bool ScriptVM::OpenBaseLibrary(lua_State* L) {
    return Call(L, &OpenBase, nullptr);
}

bool ScriptVM::Call(lua_State* L, lua_CFunction function, void* context) {
    const int top = lua_gettop(L);
    Budget* budget = BudgetOf(L);
    const bool outermost = !budget->TimeRunning;
    if (outermost) {
        budget->TimeRunning = true;
        budget->Deadline = Clock::now() + budget->TimeLimit;
        budget->MemoryRefused[0] = '\0';
    }
    lua_pushcfunction(L, &PlaceError); // handler
    lua_pushcfunction(L, function);    // handler, function
    lua_pushlightuserdata(L, context); // handler, function, context
    const int status = lua_pcall(L, 1, 0, top + 1);
    if (outermost)
        budget->TimeRunning = false;
    if (status != LUA_OK)
        Fail(L, status, *budget);
    else
        budget->LastFailure.clear();
    lua_settop(L, top);
    return status == LUA_OK;
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

const std::string& ScriptVM::LastFailure(lua_State* L) {
    return BudgetOf(L)->LastFailure;
}

std::size_t ScriptVM::MemoryInUse(lua_State* L) {
    return BudgetOf(L)->Used;
}
