#pragma once

#include "script/ScriptValue.h"

#include <lua.hpp>

#include <cstdint>
#include <new>
#include <string>

// How each type of bound field goes to and comes from a script: int fields and number fields as
// numbers (anything else sets 0), text fields as strings (anything else sets the empty text).
namespace script_fields {
inline void Push(lua_State* L, const std::int32_t& field) {
    ScriptValue(&field).Push(L); // ..., value
}
inline void Push(lua_State* L, const double& field) {
    ScriptValue(&field).Push(L); // ..., value
}
inline void Push(lua_State* L, const std::string& field) {
    lua_pushlstring(L, field.data(), field.size()); // ..., value
}

inline void Assign(std::int32_t& field, const ScriptValue& value) {
    field = value.GetInt();
}
inline void Assign(double& field, const ScriptValue& value) {
    field = value.GetDouble();
}
// The copy may fail for want of memory; the field then stays as it was, since no exception may
// cross the script state.
inline void Assign(std::string& field, const ScriptValue& value) {
    const char* text = value.GetString();
    try {
        field = text != nullptr ? text : "";
    } catch (const std::bad_alloc&) {
    }
}
} // namespace script_fields
