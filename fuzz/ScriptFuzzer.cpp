// Arbitrary text run as the configuration script, against a window and the hill generator bound
// as Init binds them, with small budgets so that an input takes milliseconds; then the state is
// closed before the objects it was bound to go. The sanitizers catch what the script reached that
// it must not.

#include "heightmap/HeightmapGenerator.h"
#include "host/Window.h"
#include "script/ScriptBindings.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeightmapGenerator generator;
    Window window;
    lua_State* L = ScriptVM::Open(std::size_t{16} << 20, 200'000);
    std::string_view source(reinterpret_cast<const char*>(data), size);
    const lua_CFunction run = [](lua_State* state) { // text only, as the engine loads its script file
        const auto* text = static_cast<const std::string_view*>(lua_touserdata(state, 1));
        if (luaL_loadbufferx(state, text->data(), text->size(), "=HeightmapGeneration.lua", "t") != LUA_OK)
            return lua_error(state);
        return lua_call(state, 0, 0), 0;
    };
    if (L != nullptr && ScriptVM::OpenBaseLibrary(L) && BindWindowClass(L, window) &&
        BindHeightmapGeneratorClass(L, generator))
        ScriptVM::Call(L, run, &source);
    if (L != nullptr)
        ScriptVM::Close(L);
    return 0;
}
