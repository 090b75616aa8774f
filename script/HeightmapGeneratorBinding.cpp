#include "heightmap/HeightmapGenerator.h"
#include "script/ScriptBinding.h"
#include "script/ScriptBindings.h"
#include "script/SettingsNotHeld.h"

namespace {
const HeightmapGenerator* Bound = nullptr;
SettingsNotHeld NotHeld;

void NoteSetting(lua_State* L, const HeightmapGenerator& generator, const std::string& property, int index) {
    if (&generator == Bound)
        NotHeld.Note(L, property, SettingsNotHeld::Kind::Int, index);
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
} // namespace

const std::map<std::string, std::string>& GeneratorSettingsNotHeld() {
    return NotHeld.All();
}

bool BindHeightmapGeneratorClass(lua_State* L, HeightmapGenerator& generator) {
    Bound = &generator;
    NotHeld.Clear();
    return BindClassInstance(L, generator, "heightmap_generator", &BindGeneratorMembers);
}
