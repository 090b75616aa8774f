#include "script/ScriptSandbox.h"

#include <lua.hpp>

#include <sys/stat.h>

namespace {

// loadfile(name [, mode [, env]]): the chunk, or nil and the message. The mode is always text.
int LoadFile(lua_State* L) {
    const char* fileName = luaL_checkstring(L, 1);
    const bool hasEnvironment = !lua_isnone(L, 3);
    if (script_sandbox::LoadTextFile(L, fileName) != LUA_OK) { // ..., message
        luaL_pushfail(L);                                      // ..., message, nil
        lua_insert(L, -2);                                     // ..., nil, message
        return 2;
    }
    if (hasEnvironment) {
        lua_pushvalue(L, 3);           // ..., chunk, env
        if (!lua_setupvalue(L, -2, 1)) // ..., chunk
            lua_pop(L, 1);
    }
    return 1;
}

// dofile(name): runs the file's text chunk and gives what it returns. A file name is required:
// without one Lua would read standard input.
int DoFile(lua_State* L) {
    const char* fileName = luaL_checkstring(L, 1);
    lua_settop(L, 1);                                        // name
    if (script_sandbox::LoadTextFile(L, fileName) != LUA_OK) // name, message
        return lua_error(L);
    lua_call(L, 0, LUA_MULTRET); // name, results...
    return lua_gettop(L) - 1;
}

// load(chunk [, name [, mode [, env]]]) with the mode forced to text; upvalue 1 is Lua's load.
// The arguments are checked here, so that a message names load as the script called it.
int Load(lua_State* L) {
    if (!lua_isstring(L, 1))
        luaL_checktype(L, 1, LUA_TFUNCTION);
    luaL_optstring(L, 2, nullptr);
    if (lua_gettop(L) < 3)
        lua_settop(L, 3);                        // an absent env stays absent
    lua_pushliteral(L, "t");                     // chunk, name, mode, [env,] "t"
    lua_replace(L, 3);                           // chunk, name, "t", [env]
    lua_pushvalue(L, lua_upvalueindex(1));       // chunk, name, "t", [env,] load
    lua_insert(L, 1);                            // load, chunk, name, "t", [env]
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET); // results...
    return lua_gettop(L);
}

// setmetatable(table, metatable) refusing a metatable with a __gc field; upvalue 1 is Lua's
// setmetatable. Lua marks a table for finalization only if the field is there when the
// metatable is set, so adding it later gives no finalizer either.
int SetMetatable(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argexpected(L, lua_type(L, 2) == LUA_TNIL || lua_type(L, 2) == LUA_TTABLE, 2, "nil or table");
    lua_settop(L, 2);
    if (lua_type(L, 2) == LUA_TTABLE) {
        lua_pushliteral(L, "__gc");       // table, metatable, "__gc"
        if (lua_rawget(L, 2) != LUA_TNIL) // table, metatable, finalizer
            return luaL_error(L, "finalizers (__gc) are not allowed in configuration scripts");
        lua_pop(L, 1); // table, metatable
    }
    lua_pushvalue(L, lua_upvalueindex(1)); // table, metatable, setmetatable
    lua_insert(L, 1);                      // setmetatable, table, metatable
    lua_call(L, 2, 1);                     // table
    return 1;
}

// xpcall(f, handler, ...) that calls the message handler after the stack has unwound. Lua calls
// it where the error was raised, and when that is the hook stopping a runaway script, hooks are
// off there: a handler that never ended would run forever.
int XPCall(lua_State* L) {
    const int count = lua_gettop(L);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_pushboolean(L, 1);                                      // f, handler, args..., true
    lua_pushvalue(L, 1);                                        // f, handler, args..., true, f
    lua_rotate(L, 3, 2);                                        // f, handler, true, f, args...
    const int status = lua_pcall(L, count - 2, LUA_MULTRET, 0); // f, handler, true, results or error
    if (status == LUA_OK)
        return lua_gettop(L) - 2;
    if (status != LUA_ERRMEM) { // Lua does not call the handler for a memory error either
        lua_pushvalue(L, 2);    // f, handler, true, error, handler
        lua_insert(L, -2);      // f, handler, true, handler, error
        lua_pcall(L, 1, 1, 0);  // f, handler, true, what the handler made of it
    }
    lua_pushboolean(L, 0); // f, handler, true, message, false
    lua_replace(L, 3);     // f, handler, false, message
    return 2;
}

// Replaces the global name with function, which gets the global's old value as its upvalue.
void Wrap(lua_State* L, const char* name, lua_CFunction function) {
    lua_getglobal(L, name);           // old
    lua_pushcclosure(L, function, 1); // wrapper
    lua_setglobal(L, name);           //
}

} // namespace

void script_sandbox::Restrict(lua_State* L) {
    lua_register(L, "loadfile", &LoadFile);
    lua_register(L, "dofile", &DoFile);
    Wrap(L, "load", &Load);
    Wrap(L, "setmetatable", &SetMetatable);
    lua_register(L, "xpcall", &XPCall);
}

int script_sandbox::LoadTextFile(lua_State* L, const char* fileName) {
    struct stat status {};
    if (::stat(fileName, &status) == 0 && !S_ISREG(status.st_mode)) {
        lua_pushfstring(L, "cannot read %s: not a regular file", fileName);
        return LUA_ERRFILE;
    }
    return luaL_loadfilex(L, fileName, "t");
}
