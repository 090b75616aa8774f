#include "ScriptFixture.h"

#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

bool Gadget::Poke(std::int32_t first, std::int32_t /*second*/) {
    Count = first;
    ++Calls;
    return first >= 0;
}

namespace {
struct GadgetBinding {
    Gadget* Instance;
    const char* Global;
};

int RegisterGadget(lua_State* L) {
    const auto* binding = static_cast<const GadgetBinding*>(lua_touserdata(L, 1));
    ScriptClass<Gadget>::Register(L); // the first time or again, the stack is left as it was
    if (lua_gettop(L) != 1)
        return luaL_error(L, "Register changed the stack");
    ScriptClass<Gadget>::BindInstance(L, binding->Instance, binding->Global);
    return 0;
}
} // namespace

bool BindGadgetClass(lua_State* L, Gadget& gadget, const char* global) {
    static const bool membersBound = [] {
        ScriptClass<Gadget> binder("Gadget");
        ScriptClass<Gadget>::AddProperty(&Gadget::Count, "Count");
        ScriptClass<Gadget>::AddMethod(&Gadget::Poke, "Poke");
        return true;
    }();
    GadgetBinding binding{&gadget, global};
    return membersBound && ScriptVM::Call(L, &RegisterGadget, &binding);
}

void ScriptFixture::SetUp() {
    L = ScriptVM::Open();
    ASSERT_NE(L, nullptr);
    ASSERT_TRUE(ScriptVM::OpenBaseLibrary(L));
    ASSERT_TRUE(BindWindowClass(L, HostWindow));
    ASSERT_TRUE(BindGadgetClass(L, TheGadget));
}

void ScriptFixture::TearDown() {
    if (L != nullptr)
        ScriptVM::Close(L);
}

std::string ScriptFixture::Run(const std::string& code) const {
    if (luaL_loadbuffer(L, code.data(), code.size(), "test") == LUA_OK && lua_pcall(L, 0, 0, 0) == LUA_OK)
        return "";
    std::string message = lua_tostring(L, -1);
    lua_pop(L, 1);
    return message;
}

std::string ScriptFixture::Output(const std::string& code) const {
    testing::internal::CaptureStdout();
    const std::string error = Run(code);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(error, "") << code;
    return output;
}
