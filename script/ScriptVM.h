#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;
using lua_CFunction = int (*)(lua_State*);

// The module's script states. Each one has a memory budget, an instruction budget and a time
// budget, so that a configuration script can neither exhaust the process nor hang it: past any
// of them, the script stops with an error and what it did before stays done. The time budget
// counts from the start of each Call (and so each RunFile); it is there because a single
// instruction may take milliseconds (copying a long string, a full collection). Every state stays open until
// the module is unloaded (or a test closes it), because scripts may still hold objects in it.
class ScriptVM {
public:
    static constexpr std::size_t DefaultMemoryLimit = std::size_t{64} << 20; // bytes
    static constexpr std::int32_t DefaultInstructionLimit = 100'000'000;
    static constexpr std::chrono::milliseconds DefaultTimeLimit{5'000};

    // A new state with no library opened; null when it cannot be made.
    static lua_State* Open(std::size_t memoryLimit = DefaultMemoryLimit,
                           std::int32_t instructionLimit = DefaultInstructionLimit,
                           std::chrono::milliseconds timeLimit = DefaultTimeLimit);
    // The base library only (no io, os, package...), restricted as ScriptSandbox.h says.
    static bool OpenBaseLibrary(lua_State* L);
    // Runs function in protected mode with context as its one argument (light userdata). On a
    // Lua error, prints "Script failed: " and the message on standard error and gives false. A limit's
    // message says where the script was ("chunk:line: ") and which limit stopped it.
    static bool Call(lua_State* L, lua_CFunction function, void* context);
    // Runs a script file from the working directory; text only. A missing file is no error to
    // report (the script is optional): false, nothing printed. A failing one, or one that is no
    // regular file (never opened: a pipe would block), prints Lua's message on standard error
    // and gives false.
    static bool RunFile(lua_State* L, const char* fileName);
    // Closes a state that Open made, quietly: objects scripts made are deleted, bound ones kept.
    static void Close(lua_State* L);
    // True while a state is being closed: no script code may then reach a native object that
    // it does not own (its owner may already be gone).
    static bool Closing();
    // The message of the failure that ended the last Call or RunFile; empty after a success.
    static const std::string& LastFailure(lua_State* L);
    // Memory the state's allocations hold, in bytes.
    static std::size_t MemoryInUse(lua_State* L);
};
