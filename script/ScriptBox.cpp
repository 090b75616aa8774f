#include "script/ScriptBox.h"

#include <lua.hpp>

void* ScriptBox::FindObject(lua_State* L, int index, int mapIndex) {
    if (index > lua_gettop(L) || lua_type(L, index) != LUA_TTABLE)
        return nullptr;
    lua_pushvalue(L, index); // ..., handle
    lua_rawget(L, mapIndex); // ..., object table or nil
    if (lua_type(L, -1) != LUA_TTABLE) {
        lua_pop(L, 1);
        return nullptr;
    }
    lua_rawgeti(L, -1, 0); // ..., object table, box
    auto* box = static_cast<ScriptBox*>(lua_touserdata(L, -1));
    lua_pop(L, 2);
    return box != nullptr ? box->Object : nullptr;
}
