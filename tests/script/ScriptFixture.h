#pragma once
// A fresh script state per test, opened as the engine opens one, with the host's Window and
// Gadget bound: a class of the tests' own with a property and a method, that counts deletions.

#include "host/Window.h"
#include "script/ScriptBinding.h"
#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"
#include "script/ScriptVM.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cstdio>
#include <string>

struct Gadget {
    static inline int Deleted = 0;
    virtual ~Gadget() { ++Deleted; }
    bool Poke(std::int32_t first, std::int32_t /*second*/) { return Count = first, ++Calls, first >= 0; }
    std::int32_t Count = 150;
    std::int32_t Calls = 0;
};

// Class "Gadget" (property Count, method Poke), and the instance as global "gadget".
inline bool BindGadgetClass(lua_State* L, Gadget& gadget) {
    return BindClassInstance(L, gadget, "gadget", [] {
        ScriptClass<Gadget> binder("Gadget");
        ScriptClass<Gadget>::AddProperty(&Gadget::Count, "Count");
        ScriptClass<Gadget>::AddMethod(&Gadget::Poke, "Poke");
    });
}

class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { ScriptVM::Close(L); }
    void Open(std::size_t memoryLimit = ScriptVM::DefaultMemoryLimit,
              std::int32_t instructionLimit = ScriptVM::DefaultInstructionLimit,
              std::chrono::milliseconds timeLimit = ScriptVM::DefaultTimeLimit) {
        if (L != nullptr)
            ScriptVM::Close(L);
        L = ScriptVM::Open(memoryLimit, instructionLimit, timeLimit);
        ASSERT_TRUE(L != nullptr && ScriptVM::OpenBaseLibrary(L) && BindWindowClass(L, HostWindow) &&
                    BindGadgetClass(L, TheGadget));
    }
    // Runs code as the engine runs its script: what it printed on standard output, then on standard error.
    std::string Run(const std::string& code) const {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const lua_CFunction run = [](lua_State* state) {
            const auto* text = static_cast<const std::string*>(lua_touserdata(state, 1));
            return luaL_loadbuffer(state, text->data(), text->size(), "=test") != LUA_OK
                       ? lua_error(state)
                       : (lua_call(state, 0, 0), 0);
        };
        ScriptVM::Call(L, run, const_cast<std::string*>(&code));
        const std::string output = testing::internal::GetCapturedStdout();
        return output + testing::internal::GetCapturedStderr();
    }
    // The gadget's count, the window's place, size and visibility, and the gadget's calls.
    std::string State() const {
        char text[96];
        std::snprintf(text, sizeof(text), "%d %d,%d %dx%d %d %d", TheGadget.Count, HostWindow.X, HostWindow.Y,
                      HostWindow.Width, HostWindow.Height, HostWindow.Visible, TheGadget.Calls);
        return text;
    }

    lua_State* L = nullptr;
    Window HostWindow;
    Gadget TheGadget;
};
