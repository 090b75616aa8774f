#pragma once
// The settings a script last gave one bound object that its fields could not hold as given, by
// property name, as the script would print them ("1e+30", "many", "table"): an int field holds a
// whole number within 32 bits, a number field any number, a text field text without a zero byte. The field
// itself holds the converted value (0, the empty text); the engine says what it used instead.

#include <map>
#include <string>

struct lua_State;

class SettingsNotHeld {
public:
    enum class Kind { Int, Number, Text };

    // After a script set property to the value at index (which stays where it is). Never raises a
    // Lua error; out of memory, the note is lost and the setting is not.
    void Note(lua_State* L, const std::string& property, Kind kind, int index);
    void Clear() { Values.clear(); }
    const std::map<std::string, std::string>& All() const { return Values; }

private:
    std::map<std::string, std::string> Values;
};
