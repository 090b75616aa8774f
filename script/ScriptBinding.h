#pragma once
// The shape every binding of the configuration script shares: the class's methods and properties
// are bound once per module (by bindMembers, on the first bind), then the class is registered on
// the state and the instance, which stays its owner's, is published under a global name. The
// registration runs in protected mode: false (with Lua's message on standard error) when the state
// ran out of memory on the way.

#include "script/ScriptClass.h"
#include "script/ScriptVM.h"

template <class T>
bool BindClassInstance(lua_State* L, T& instance, const char* global, void (*bindMembers)()) {
    static const bool membersBound = (bindMembers(), true);
    (void)membersBound;
    struct Binding {
        T* Instance;
        const char* Global;
    } binding{&instance, global};
    const auto registerOnState = [](lua_State* state) {
        const auto* bound = static_cast<const Binding*>(lua_touserdata(state, 1));
        ScriptClass<T>::Register(state);
        ScriptClass<T>::BindInstance(state, bound->Instance, bound->Global);
        return 0;
    };
    return ScriptVM::Call(L, registerOnState, &binding);
}
