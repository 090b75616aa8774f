#pragma once

#include <cstdint>
#include <string>

struct lua_State;
using lua_CFunction = int (*)(lua_State*);

// One member function bound under a script name.
struct ScriptMethod {
    lua_CFunction Dispatcher = nullptr; // CallMethod of the member function's signature
    std::int32_t Slot = 0;              // position in that signature's member-function list
    std::string Name;
};
