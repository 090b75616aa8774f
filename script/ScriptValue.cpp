#include "script/ScriptValue.h"

#include <lua.hpp>

#include <cmath>
#include <limits>

const char ScriptValue::ClassMarker = 0;

namespace {
// True when the value at index has a metatable made by a bound class.
bool IsClassValue(lua_State* L, int index) {
    if (lua_getmetatable(L, index) == 0)
        return false;
    lua_rawgetp(L, -1, &ScriptValue::ClassMarker); // metatable, marker
    const bool marked = lua_toboolean(L, -1) != 0;
    lua_pop(L, 2);
    return marked;
}
} // namespace

std::int32_t ScriptValue::ToInt(double number) {
    constexpr double largest = std::numeric_limits<std::int32_t>::max();
    constexpr double smallest = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(number))
        return 0;
    if (number >= largest)
        return std::numeric_limits<std::int32_t>::max();
    if (number <= smallest)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(number); // in range: truncates toward zero
}

std::int32_t ScriptValue::GetInt() const {
    return Type == Number ? ToInt(NumberValue) : 0;
}

float ScriptValue::GetFloat() const {
    return Type == Number ? static_cast<float>(NumberValue) : 0.0f;
}

double ScriptValue::GetDouble() const {
    return Type == Number ? NumberValue : 0.0;
}

const char* ScriptValue::GetString() const {
    return Type == String ? StringValue : nullptr;
}

void* ScriptValue::GetUserData() const {
    return Type == UserData ? UserDataValue : nullptr;
}

std::int32_t ScriptValue::TypeOf(lua_State* L, int index) {
    switch (lua_type(L, index)) {
    case LUA_TLIGHTUSERDATA:
        return UserData;
    case LUA_TUSERDATA:
        return IsClassValue(L, index) ? NoValue : UserData;
    case LUA_TNIL:
        return Nil;
    case LUA_TNUMBER:
        return Number;
    case LUA_TSTRING:
        return String;
    case LUA_TTABLE:
        return IsClassValue(L, index) ? NoValue : Table;
    case LUA_TFUNCTION:
        return Function;
    default: // none, booleans and threads have no code of their own
        return NoValue;
    }
}

bool ScriptValue::Read(lua_State* L, int index) {
    Type = TypeOf(L, index);
    switch (Type) {
    case UserData:
        UserDataValue = lua_touserdata(L, index);
        break;
    case Number:
        NumberValue = lua_tonumber(L, index);
        break;
    case String:
        StringValue = lua_tostring(L, index);
        break;
    default:
        break;
    }
    return true;
}

bool ScriptValue::Push(lua_State* L) const {
    // 2^63: every double below it in magnitude and integral fits a Lua integer.
    constexpr double integerLimit = 9223372036854775808.0;
    switch (Type) {
    case UserData:
        lua_pushlightuserdata(L, UserDataValue);
        break;
    case Number:
        if (std::trunc(NumberValue) == NumberValue && NumberValue >= -integerLimit &&
            NumberValue < integerLimit)
            lua_pushinteger(L, static_cast<lua_Integer>(NumberValue));
        else
            lua_pushnumber(L, NumberValue);
        break;
    case String:
        lua_pushstring(L, StringValue);
        break;
    default:
        break;
    }
    return true;
}
