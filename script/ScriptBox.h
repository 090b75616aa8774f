#pragma once

struct lua_State;

// The full userdata that carries a native object inside a script state. Ownership is in the
// type: an object a script made with a class's constructor global belongs to the state and is
// deleted by the collector; an instance that native code bound is only borrowed.
struct ScriptBox {
    void* Object = nullptr;
    bool OwnedByScript = false;

    // The native object behind the handle at index, or null when that value is not a handle
    // listed in the object-table map at mapIndex (a handle of another class, a plain table, a
    // number, nothing). Leaves the stack as it was.
    static void* FindObject(lua_State* L, int index, int mapIndex);
};
