#pragma once

#include <cstdint>

struct lua_State;

// One value on its way between the Lua stack and a native variable. Types are the old runtime's
// codes, which is what the accessors and call adaptors reason in: 0 userdata, 1 nil, 2 number,
// 3 string, 4 table, 5 function, -1 no value (also anything else: booleans, threads, objects of
// a bound class). Only numbers convert to numbers; a string that spells one does not.
class ScriptValue {
public:
    static constexpr std::int32_t UserData = 0;
    static constexpr std::int32_t Nil = 1;
    static constexpr std::int32_t Number = 2;
    static constexpr std::int32_t String = 3;
    static constexpr std::int32_t Table = 4;
    static constexpr std::int32_t Function = 5;
    static constexpr std::int32_t NoValue = -1;

    std::int32_t Type = NoValue;
    union {
        double NumberValue = 0.0;
        void* UserDataValue;
        const char* StringValue; // owned by the script state, never copied
    };

    ScriptValue() = default;
    explicit ScriptValue(const std::int32_t* value) : Type(Number), NumberValue(*value) {}
    explicit ScriptValue(const float* value) : Type(Number), NumberValue(*value) {}
    explicit ScriptValue(const double* value) : Type(Number), NumberValue(*value) {}
    explicit ScriptValue(std::int32_t value) : Type(Number), NumberValue(value) {}
    explicit ScriptValue(float value) : Type(Number), NumberValue(value) {}
    explicit ScriptValue(double value) : Type(Number), NumberValue(value) {}
    explicit ScriptValue(const char* const* value) : Type(String), StringValue(*value) {}
    explicit ScriptValue(void* value) : Type(UserData), UserDataValue(value) {}

    // A number truncated toward zero; out of range saturates, NaN and non-numbers give 0.
    std::int32_t GetInt() const;
    float GetFloat() const;
    double GetDouble() const;
    const char* GetString() const;
    void* GetUserData() const;

    static std::int32_t TypeOf(lua_State* L, int index);
    // Takes the value at index; a type without payload leaves the payload as it was.
    bool Read(lua_State* L, int index);
    // Pushes the value; an integral number goes as a Lua integer so that scripts print 50, not
    // 50.0. No value pushes nothing.
    bool Push(lua_State* L) const;

    // Truncation toward zero that is defined for every double.
    static std::int32_t ToInt(double number);

    // Metatables of bound classes carry this key (as light userdata) so that values of theirs
    // are told apart from plain tables and userdata.
    static const char ClassMarker;
};
