#include "heightmap/HeightmapGenerator.h"
#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"

namespace {
// Binding order sets the slots; each property reaches its own field whatever the class's layout.
void BindGeneratorMembers() {
    ScriptClass<HeightmapGenerator> binder("");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::NbHills, "NbHills");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::Width, "Width");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::Height, "Height");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::MinHillRadius, "MinHillRadius");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::MaxHillRadius, "MaxHillRadius");
    ScriptClass<HeightmapGenerator>::AddProperty(&HeightmapGenerator::Seed, "Seed");
}

int RegisterGenerator(lua_State* L) {
    auto* generator = static_cast<HeightmapGenerator*>(lua_touserdata(L, 1));
    ScriptClass<HeightmapGenerator>::Register(L);
    ScriptClass<HeightmapGenerator>::BindInstance(L, generator, "heightmap_generator");
    return 0;
}
} // namespace

bool BindHeightmapGeneratorClass(lua_State* L, HeightmapGenerator& generator) {
    static const bool membersBound = (BindGeneratorMembers(), true);
    (void)membersBound;
    return ScriptVM::Call(L, &RegisterGenerator, &generator);
}
