// Arbitrary text run as the configuration script, against a window and the hill generator bound
// as Init binds them. Afterwards the generator must still give generation sane values, and closing
// the state must delete what the script made and leave the bound objects alone.

#include "heightmap/GenerationBounds.h"
#include "heightmap/HeightmapGenerator.h"
#include "host/Window.h"
#include "script/ScriptBindings.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Small budgets, so that one input takes milliseconds; a script past them stops as in the engine.
constexpr std::size_t MemoryLimit = std::size_t{16} << 20;
constexpr std::int32_t InstructionLimit = 200'000;

struct Source {
    const std::uint8_t* Data;
    std::size_t Size;
};

int RunSource(lua_State* L) {
    const auto* source = static_cast<const Source*>(lua_touserdata(L, 1));
    // Text only, as the engine loads its script file.
    if (luaL_loadbufferx(L, reinterpret_cast<const char*>(source->Data), source->Size,
                         "=HeightmapGeneration.lua",
                         "t") != LUA_OK) // chunk or message
        return lua_error(L);
    lua_call(L, 0, 0);
    return 0;
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GeneratorInstance = HeightmapGenerator{};
    Window window;
    lua_State* L = ScriptVM::Open(MemoryLimit, InstructionLimit);
    if (L == nullptr)
        return 0;
    if (ScriptVM::OpenBaseLibrary(L) && BindWindowClass(L, window) &&
        BindHeightmapGeneratorClass(L, GeneratorInstance)) {
        Source source{data, size};
        ScriptVM::Call(L, &RunSource, &source);
    }
    // Whatever the script left in the fields, generation is sized within its bounds.
    const GenerationBounds bounds = GenerationBounds::For(GeneratorInstance);
    Require(bounds.Width >= GenerationBounds::GridSideMin && bounds.Width <= GenerationBounds::GridSideMax);
    Require(bounds.Height >= GenerationBounds::GridSideMin && bounds.Height <= GenerationBounds::GridSideMax);
    Require(bounds.NbHills <= GenerationBounds::HillLimit);
    Require(bounds.MinHillRadius >= -GenerationBounds::RadiusLimit &&
            bounds.MinHillRadius <= GenerationBounds::RadiusLimit);
    Require(bounds.MaxHillRadius >= -GenerationBounds::RadiusLimit &&
            bounds.MaxHillRadius <= GenerationBounds::RadiusLimit);
    // The state goes before the window: objects the script still holds must not reach it after.
    ScriptVM::Close(L);
    return 0;
}
