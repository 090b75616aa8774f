#include "heightmap/HeightmapGenerator.h"
#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace {
const HeightmapGenerator* Bound = nullptr;
std::map<std::string, std::string> NotHeld; // property: the value as the script gave it

// A value an int field holds exactly: a whole number within 32 bits.
bool Held(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TNUMBER)
        return false;
    const double number = lua_tonumber(L, index);
    return std::trunc(number) == number && number >= INT32_MIN && number <= INT32_MAX;
}

// The value as a script would print it, without raising a Lua error (no conversion in place).
std::string AsGiven(lua_State* L, int index) {
    char text[64];
    if (lua_isinteger(L, index))
        std::snprintf(text, sizeof(text), "%" PRId64, static_cast<std::int64_t>(lua_tointeger(L, index)));
    else if (lua_type(L, index) == LUA_TNUMBER)
        std::snprintf(text, sizeof(text), "%.14g", lua_tonumber(L, index));
    else if (lua_type(L, index) == LUA_TSTRING)
        return lua_tostring(L, index);
    else
        return lua_typename(L, lua_type(L, index));
    return text;
}

// Keeps, for the bound generator, each value the script set that its field could not hold as given.
void NoteSetting(lua_State* L, const HeightmapGenerator& generator, const std::string& property, int index) {
    if (&generator != Bound)
        return;
    try {
        if (Held(L, index))
            NotHeld.erase(property);
        else
            NotHeld[property] = AsGiven(L, index);
    } catch (...) { // out of memory: the note is lost, the setting is not
    }
}

// Binding order sets the slots; each property reaches its own field whatever the class's layout.
void BindGeneratorMembers() {
    ScriptClass<HeightmapGenerator> binder("");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::NbHills, "NbHills");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::Width, "Width");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::Height, "Height");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::MinHillRadius, "MinHillRadius");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::MaxHillRadius, "MaxHillRadius");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::Seed, "Seed");
    ScriptClass<HeightmapGenerator>::Watcher = &NoteSetting;
}

int RegisterGenerator(lua_State* L) {
    auto* generator = static_cast<HeightmapGenerator*>(lua_touserdata(L, 1));
    ScriptClass<HeightmapGenerator>::Register(L);
    ScriptClass<HeightmapGenerator>::BindInstance(L, generator, "heightmap_generator");
    return 0;
}
} // namespace

const std::map<std::string, std::string>& GeneratorSettingsNotHeld() {
    return NotHeld;
}

bool BindHeightmapGeneratorClass(lua_State* L, HeightmapGenerator& generator) {
    static const bool membersBound = (BindGeneratorMembers(), true);
    (void)membersBound;
    Bound = &generator;
    NotHeld.clear();
    return ScriptVM::Call(L, &RegisterGenerator, &generator);
}
