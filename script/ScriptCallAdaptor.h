#pragma once

#include "script/ScriptBox.h"
#include "script/ScriptMessages.h"
#include "script/ScriptVM.h"
#include "script/ScriptValue.h"

#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

// The method side of a class binding: one instantiation per class T and signature bool (Args...)
// is that signature's list of member functions, its dispatcher and its argument adaptor.
//
// Arguments are counted from the top of the call's own values: the last parameter takes the last
// argument, the one before it the one before, and so on. A call with fewer arguments than
// parameters therefore passes the object itself (not a number: 0) for the first missing one, and
// 0 for any that would lie below the call's values. Int parameters truncate toward zero (a
// non-number gives 0); bool parameters always receive true. The result goes back as 1 or 0.
template <class T, class... Args>
class ScriptCallAdaptor {
public:
    using MemberFunction = bool (T::*)(Args...);

    // The signature's member functions; a position here is a method's slot.
    static std::vector<MemberFunction>& MemberFunctions() {
        static std::vector<MemberFunction> memberFunctions;
        return memberFunctions;
    }

    // Appends memberFunction and gives its slot.
    static std::int32_t Add(const MemberFunction& memberFunction) {
        MemberFunctions().push_back(memberFunction);
        return static_cast<std::int32_t>(MemberFunctions().size()) - 1;
    }

    // A method's closure. Upvalues: 1 the slot, 2 the class's object-table map. Stack: the object
    // (first argument of the colon form), then the script's arguments.
    static int CallMethod(lua_State* L) {
        if (ScriptVM::Closing())
            return 0;
        auto* object = static_cast<T*>(ScriptBox::FindObject(L, 1, lua_upvalueindex(2)));
        if (object == nullptr) {
            // The dot form, another class's object or a plain table: nothing to call it on.
            script_messages::Print(script_messages::CallWithoutObject);
            return 0;
        }
        const lua_Integer slot = lua_tointeger(L, lua_upvalueindex(1));
        if (slot < 0 || static_cast<std::size_t>(slot) >= MemberFunctions().size())
            return 0;
        const ScriptValue result = Invoke(L, object, MemberFunctions()[static_cast<std::size_t>(slot)]);
        result.Push(L); // ..., result
        return 1;
    }

    static ScriptValue Invoke(lua_State* L, T* object, const MemberFunction& memberFunction) {
        return InvokeWith(L, object, memberFunction, std::index_sequence_for<Args...>{});
    }

private:
    template <std::size_t... Position>
    static ScriptValue InvokeWith(lua_State* L, T* object, const MemberFunction& memberFunction,
                                  std::index_sequence<Position...> /*positions*/) {
        const int first = lua_gettop(L) - static_cast<int>(sizeof...(Args)) + 1;
        const bool result =
            (object->*memberFunction)(Argument<Args>(L, first + static_cast<int>(Position))...);
        return ScriptValue(result ? 1 : 0);
    }

    template <class Parameter>
    static Parameter Argument([[maybe_unused]] lua_State* L, [[maybe_unused]] int index) {
        if constexpr (std::is_same_v<Parameter, bool>) {
            return true;
        } else {
            static_assert(std::is_same_v<Parameter, std::int32_t>, "bound methods take int or bool");
            if (index < 1)
                return 0; // below the call's own values
            ScriptValue argument;
            argument.Read(L, index);
            return argument.GetInt();
        }
    }
};
