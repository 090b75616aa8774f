#pragma once

#include <cstdint>
#include <string>

struct lua_State;
using lua_CFunction = int (*)(lua_State*);

// One field bound under a script name.
struct ScriptProperty {
    lua_CFunction Getter = nullptr; // GetField of the field's value type
    lua_CFunction Setter = nullptr; // SetField of the field's value type
    std::int32_t Slot = 0;          // position in the field list of that value type; below 0 denies access
    std::string Name;
};
