#pragma once

#include "script/ScriptBox.h"
#include "script/ScriptCallAdaptor.h"
#include "script/ScriptFieldValue.h"
#include "script/ScriptMessages.h"
#include "script/ScriptMethod.h"
#include "script/ScriptProperty.h"
#include "script/ScriptVM.h"
#include "script/ScriptValue.h"

#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

// Exposes the native class T to scripts: its constructor under the class name, member functions
// as methods and int, number (double) and text (std::string) fields as properties.
//
// What a script holds for an object is a handle: an empty table whose metatable sends every read
// and every write to OnGetTable / OnSetTable, so assignments never add keys to it. Behind each
// handle, out of the script's reach, is its object table: key 0 the box that carries the native
// pointer (ScriptBox), each property name its position in the property list, each method name a
// closure of the method's dispatcher. The object-table map (weak in its keys) leads from handle
// to object table; a method's closure looks its first argument up there, so it can only run on
// an object of its own class.
//
// The method and property lists are per class, for the module's lifetime: bind them once. The
// metatables and the map are per script state, made by Register and kept in its registry, so a
// second state works as the first one does. Order: Register, then any AddMethod / AddProperty,
// then BindInstance; an object table copies the lists as they are when it is built.
//
// Functions here that call Lua hold no object with a destructor, because a Lua error unwinds
// with longjmp: call Register and BindInstance in protected mode (ScriptVM::Call).
template <class T>
class ScriptClass {
public:
    // Sets the class name, which Register publishes as the constructor global.
    explicit ScriptClass(const std::string& name) { NameStorage() = name; }

    // Makes the class known to the state; a second call on the same state does nothing.
    static void Register(lua_State* L);
    template <class Field>
    static void AddProperty(Field T::*const& field, const std::string& name);
    template <class... Args>
    static void AddMethod(bool (T::*const& memberFunction)(Args...), const std::string& name);
    // Publishes object, which stays its owner's, under the global name.
    static int BindInstance(lua_State* L, T* object, const char* name);

    // The constructor global: a new default-constructed T that belongs to the script state.
    static int New(lua_State* L);
    static int OnGetTable(lua_State* L);
    static int OnSetTable(lua_State* L);
    static int OnGc(lua_State* L);
    // Accessors of one type of field; the stack holds (new value,) field slot, box.
    template <class Field>
    static int GetField(lua_State* L);
    template <class Field>
    static int SetField(lua_State* L);
    // When set, told of each property a script sets on an object, after the field took the
    // value, with the value as the script gave it at valueIndex. It must not raise Lua errors.
    static inline void (*Watcher)(lua_State* L, const T& object, const std::string& property,
                                  int valueIndex) = nullptr;

    static const std::string& Name() { return NameStorage(); }
    static const std::vector<ScriptMethod>& Methods() { return MethodList(); }
    static const std::vector<ScriptProperty>& Properties() { return PropertyList(); }

private:
    static std::string& NameStorage() {
        static std::string name;
        return name;
    }
    static std::vector<ScriptMethod>& MethodList() {
        static std::vector<ScriptMethod> methods;
        return methods;
    }
    static std::vector<ScriptProperty>& PropertyList() {
        static std::vector<ScriptProperty> properties;
        return properties;
    }
    // The bound fields of one type; a property's slot is its position here.
    template <class Field>
    static std::vector<Field T::*>& Fields() {
        static std::vector<Field T::*> fields;
        return fields;
    }

    // Replaces the box on top of the stack with a new handle, building its object table.
    static void PushHandle(lua_State* L);
    static ScriptBox* PushBox(lua_State* L);
    // The property that the raw value at index names, or null.
    static const ScriptProperty* PropertyAt(lua_State* L, int index);
    static T* FieldOwner(lua_State* L, int boxIndex);

    // Registry keys of the per-state tables: their addresses are unique to T.
    static inline const char HandleMetatableKey = 0;
    static inline const char BoxMetatableKey = 0;
    static inline const char ObjectTablesKey = 0;
};

template <class T>
void ScriptClass<T>::Register(lua_State* L) {
    lua_rawgetp(L, LUA_REGISTRYINDEX, &HandleMetatableKey); // handle metatable or nil
    const bool registered = lua_type(L, -1) == LUA_TTABLE;
    lua_pop(L, 1);
    if (registered)
        return;

    // Weak keys: a handle that scripts drop takes its object table, and so its box, with it.
    lua_newtable(L);                                     // map
    lua_createtable(L, 0, 1);                            // map, mode
    lua_pushliteral(L, "k");                             // map, mode, "k"
    lua_setfield(L, -2, "__mode");                       // map, mode
    lua_setmetatable(L, -2);                             // map
    lua_pushvalue(L, -1);                                // map, map
    lua_rawsetp(L, LUA_REGISTRYINDEX, &ObjectTablesKey); // map

    // Sealed, so that scripts can neither see nor replace the routing.
    lua_createtable(L, 0, 4);                               // map, handle metatable
    lua_pushvalue(L, -2);                                   // map, handle metatable, map
    lua_pushcclosure(L, &OnGetTable, 1);                    // map, handle metatable, __index
    lua_setfield(L, -2, "__index");                         // map, handle metatable
    lua_pushvalue(L, -2);                                   // map, handle metatable, map
    lua_pushcclosure(L, &OnSetTable, 1);                    // map, handle metatable, __newindex
    lua_setfield(L, -2, "__newindex");                      // map, handle metatable
    lua_pushboolean(L, 0);                                  // map, handle metatable, false
    lua_setfield(L, -2, "__metatable");                     // map, handle metatable
    lua_pushboolean(L, 1);                                  // map, handle metatable, true
    lua_rawsetp(L, -2, &ScriptValue::ClassMarker);          // map, handle metatable
    lua_rawsetp(L, LUA_REGISTRYINDEX, &HandleMetatableKey); // map
    lua_pop(L, 1);                                          //

    lua_createtable(L, 0, 3);                            // box metatable
    lua_pushcfunction(L, &OnGc);                         // box metatable, __gc
    lua_setfield(L, -2, "__gc");                         // box metatable
    lua_pushboolean(L, 0);                               // box metatable, false
    lua_setfield(L, -2, "__metatable");                  // box metatable
    lua_pushboolean(L, 1);                               // box metatable, true
    lua_rawsetp(L, -2, &ScriptValue::ClassMarker);       // box metatable
    lua_rawsetp(L, LUA_REGISTRYINDEX, &BoxMetatableKey); //

    lua_pushcfunction(L, &New);       // constructor
    lua_setglobal(L, Name().c_str()); //
}

template <class T>
template <class Field>
void ScriptClass<T>::AddProperty(Field T::*const& field, const std::string& name) {
    Fields<Field>().push_back(field);
    const auto slot = static_cast<std::int32_t>(Fields<Field>().size()) - 1;
    PropertyList().push_back(ScriptProperty{&GetField<Field>, &SetField<Field>, slot, name});
}

template <class T>
template <class... Args>
void ScriptClass<T>::AddMethod(bool (T::*const& memberFunction)(Args...), const std::string& name) {
    using Adaptor = ScriptCallAdaptor<T, Args...>;
    const std::int32_t slot = Adaptor::Add(memberFunction);
    MethodList().push_back(ScriptMethod{&Adaptor::CallMethod, slot, name});
}

template <class T>
int ScriptClass<T>::BindInstance(lua_State* L, T* object, const char* name) {
    ScriptBox* box = PushBox(L); // box
    box->Object = object;        // borrowed: OwnedByScript stays false
    PushHandle(L);               // handle
    lua_setglobal(L, name);      //
    return 1;
}

template <class T>
int ScriptClass<T>::New(lua_State* L) {
    ScriptBox* box = PushBox(L); // ..., box
    // The box owns the object from here on: if building the rest fails, the collector frees it.
    box->Object = new (std::nothrow) T();
    if (box->Object == nullptr)
        return 0;
    box->OwnedByScript = true;
    PushHandle(L); // ..., handle
    return 1;
}

template <class T>
ScriptBox* ScriptClass<T>::PushBox(lua_State* L) {
    void* memory = lua_newuserdatauv(L, sizeof(ScriptBox), 0); // box
    auto* box = new (memory) ScriptBox();
    lua_rawgetp(L, LUA_REGISTRYINDEX, &BoxMetatableKey); // box, box metatable
    lua_setmetatable(L, -2);                             // box
    return box;
}

template <class T>
void ScriptClass<T>::PushHandle(lua_State* L) {
    const auto& properties = Properties();
    const auto& methods = Methods();
    lua_createtable(L, 0, static_cast<int>(1 + properties.size() + methods.size())); // box, table
    lua_pushvalue(L, -2);                                                            // box, table, box
    lua_rawseti(L, -2, 0);                                                           // box, table
    for (std::size_t position = 0; position < properties.size(); ++position) {
        lua_pushinteger(L, static_cast<lua_Integer>(position)); // box, table, position
        lua_setfield(L, -2, properties[position].Name.c_str()); // box, table
    }
    // Methods after properties: a method and a property of one name leave the method.
    lua_rawgetp(L, LUA_REGISTRYINDEX, &ObjectTablesKey); // box, table, map
    for (const ScriptMethod& method : methods) {
        lua_pushinteger(L, method.Slot);           // box, table, map, slot
        lua_pushvalue(L, -2);                      // box, table, map, slot, map
        lua_pushcclosure(L, method.Dispatcher, 2); // box, table, map, closure
        lua_setfield(L, -3, method.Name.c_str());  // box, table, map
    }
    lua_newtable(L);                                        // box, table, map, handle
    lua_rawgetp(L, LUA_REGISTRYINDEX, &HandleMetatableKey); // box, table, map, handle, metatable
    lua_setmetatable(L, -2);                                // box, table, map, handle
    lua_pushvalue(L, -1);                                   // box, table, map, handle, handle
    lua_pushvalue(L, -4);                                   // box, table, map, handle, handle, table
    lua_rawset(L, -4);                                      // box, table, map, handle
    lua_replace(L, -4);                                     // handle, table, map
    lua_pop(L, 2);                                          // handle
}

template <class T>
const ScriptProperty* ScriptClass<T>::PropertyAt(lua_State* L, int index) {
    if (!lua_isinteger(L, index))
        return nullptr;
    const lua_Integer position = lua_tointeger(L, index);
    if (position < 0 || static_cast<std::size_t>(position) >= Properties().size())
        return nullptr;
    return &Properties()[static_cast<std::size_t>(position)];
}

template <class T>
int ScriptClass<T>::OnGetTable(lua_State* L) {
    lua_pushvalue(L, 1);                // handle, key, handle
    lua_rawget(L, lua_upvalueindex(1)); // handle, key, table
    if (lua_type(L, 3) != LUA_TTABLE)
        return 0;
    lua_pushvalue(L, 2); // handle, key, table, key
    lua_rawget(L, 3);    // handle, key, table, raw value
    if (lua_iscfunction(L, -1))
        return 1; // a method: its closure
    const ScriptProperty* property = PropertyAt(L, -1);
    if (property == nullptr)
        return 0;                       // neither method nor property: nil
    lua_pushinteger(L, property->Slot); // handle, key, table, raw value, slot
    lua_rawgeti(L, 3, 0);               // handle, key, table, raw value, slot, box
    return property->Getter(L);
}

template <class T>
int ScriptClass<T>::OnSetTable(lua_State* L) {
    lua_pushvalue(L, 1);                // handle, key, value, handle
    lua_rawget(L, lua_upvalueindex(1)); // handle, key, value, table
    if (lua_type(L, 4) != LUA_TTABLE)
        return 0;
    lua_pushvalue(L, 2); // handle, key, value, table, key
    lua_rawget(L, 4);    // handle, key, value, table, raw value
    if (lua_iscfunction(L, -1)) {
        script_messages::Print(script_messages::AssignFunction);
        return 0;
    }
    const ScriptProperty* property = PropertyAt(L, -1);
    if (property == nullptr) {
        script_messages::Print(script_messages::SetUnknown);
        return 0;
    }
    lua_pushvalue(L, 3);                // ..., raw value, value
    lua_pushinteger(L, property->Slot); // ..., raw value, value, slot
    lua_rawgeti(L, 4, 0);               // ..., raw value, value, slot, box
    property->Setter(L);
    return 0;
}

template <class T>
int ScriptClass<T>::OnGc(lua_State* L) {
    auto* box = static_cast<ScriptBox*>(lua_touserdata(L, 1));
    if (!ScriptVM::Closing())
        script_messages::Print(script_messages::Collected);
    if (box == nullptr)
        return 0;
    // Only what a script made is the state's to delete; a bound instance is its owner's.
    if (box->OwnedByScript)
        delete static_cast<T*>(box->Object);
    box->Object = nullptr;
    return 0;
}

template <class T>
T* ScriptClass<T>::FieldOwner(lua_State* L, int boxIndex) {
    if (ScriptVM::Closing())
        return nullptr;
    const auto* box = static_cast<const ScriptBox*>(lua_touserdata(L, boxIndex));
    return box != nullptr ? static_cast<T*>(box->Object) : nullptr;
}

template <class T>
template <class Field>
int ScriptClass<T>::GetField(lua_State* L) {
    const lua_Integer slot = lua_tointeger(L, -2);
    if (slot < 0) {
        script_messages::Print(script_messages::GetWriteOnly);
        return 0;
    }
    T* object = FieldOwner(L, -1);
    if (object == nullptr || static_cast<std::size_t>(slot) >= Fields<Field>().size())
        return 0;
    script_fields::Push(L, object->*Fields<Field>()[static_cast<std::size_t>(slot)]); // ..., value
    return 1;
}

template <class T>
template <class Field>
int ScriptClass<T>::SetField(lua_State* L) {
    const lua_Integer slot = lua_tointeger(L, -2);
    if (slot < 0) {
        script_messages::Print(script_messages::SetReadOnly);
        return 0;
    }
    T* object = FieldOwner(L, -1);
    if (object == nullptr || static_cast<std::size_t>(slot) >= Fields<Field>().size())
        return 0;
    ScriptValue value;
    value.Read(L, -3);
    script_fields::Assign(object->*Fields<Field>()[static_cast<std::size_t>(slot)], value);
    if (Watcher != nullptr)
        for (const ScriptProperty& property : PropertyList())
            if (property.Slot == slot && property.Setter == &SetField<Field>)
                Watcher(L, *object, property.Name, -3);
    return 0;
}
