// Arbitrary text run as the configuration script, against a window and the hill generator bound
// as Init binds them; then the state is closed before the objects it was bound to go. The
// sanitizers catch what the script reached that it must not.

#include "heightmap/HeightmapGenerator.h"
#include "host/Window.h"
#include "script/ScriptBindings.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Small budgets, so that one input takes milliseconds; a script past them stops as in the engine.
constexpr std::size_t MemoryLimit = std::size_t{16} << 20;
constexpr std::int32_t InstructionLimit = 200'000;

int RunSource(lua_State* L) {
    const auto* source = static_cast<const std::string_view*>(lua_touserdata(L, 1));
    // Text only, as the engine loads its script file.
    if (luaL_loadbufferx(L, source->data(), source->size(), "=HeightmapGeneration.lua", "t") != LUA_OK)
        return lua_error(L);
    lua_call(L, 0, 0);
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeightmapGenerator generator;
    Window window;
    lua_State* L = ScriptVM::Open(MemoryLimit, InstructionLimit);
    if (L == nullptr)
        return 0;
    std::string_view source(reinterpret_cast<const char*>(data), size);
    if (ScriptVM::OpenBaseLibrary(L) && BindWindowClass(L, window) &&
        BindHeightmapGeneratorClass(L, generator))
        ScriptVM::Call(L, &RunSource, &source);
    ScriptVM::Close(L);
    return 0;
}
