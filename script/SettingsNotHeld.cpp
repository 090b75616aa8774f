#include "script/SettingsNotHeld.h"

#include <lua.hpp>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
bool Held(lua_State* L, int index, SettingsNotHeld::Kind kind) {
    switch (kind) {
    case SettingsNotHeld::Kind::Text: { // the field takes the text up to a zero byte
        std::size_t length = 0;
        const char* text = lua_type(L, index) == LUA_TSTRING ? lua_tolstring(L, index, &length) : nullptr;
        return text != nullptr && std::strlen(text) == length;
    }
    case SettingsNotHeld::Kind::Number:
        return lua_type(L, index) == LUA_TNUMBER;
    case SettingsNotHeld::Kind::Int:
        break;
    }
    if (lua_type(L, index) != LUA_TNUMBER)
        return false;
    const double number = lua_tonumber(L, index);
    return std::trunc(number) == number && number >= INT32_MIN && number <= INT32_MAX;
}

// The value as a script would print it, without raising a Lua error (no conversion in place).
std::string AsGiven(lua_State* L, int index) {
    char text[64];
    if (lua_isinteger(L, index))
        std::snprintf(text, sizeof(text), "%" PRId64, static_cast<std::int64_t>(lua_tointeger(L, index)));
    else if (lua_type(L, index) == LUA_TNUMBER)
        std::snprintf(text, sizeof(text), "%.14g", lua_tonumber(L, index));
    else if (lua_type(L, index) == LUA_TSTRING)
        return lua_tostring(L, index);
    else
        return lua_typename(L, lua_type(L, index));
    return text;
}
} // namespace

void SettingsNotHeld::Note(lua_State* L, const std::string& property, Kind kind, int index) {
    try {
        if (Held(L, index, kind))
            Values.erase(property);
        else
            Values[property] = AsGiven(L, index);
    } catch (...) {
    }
}
