#pragma once
// A fresh script state per test, with the base library and two classes bound: the host's Window,
// and Gadget, a class of the tests' own with a property and a method, that counts deletions.

#include "host/Window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

struct lua_State;

struct Gadget {
    static inline int Deleted = 0;
    virtual ~Gadget() { ++Deleted; }
    // False for a negative first argument, so that a script sees both results.
    bool Poke(std::int32_t first, std::int32_t second);
    std::int32_t Count = 150;
    std::int32_t Calls = 0;
};

// Class "Gadget" (property Count, method Poke) and the instance under the global name.
bool BindGadgetClass(lua_State* L, Gadget& gadget, const char* global = "gadget");

class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs code; Lua's error message, or "" when it ran to its end.
    std::string Run(const std::string& code) const;
    // Runs code that must not fail; what it printed on standard output.
    std::string Output(const std::string& code) const;

    lua_State* L = nullptr;
    Window HostWindow;
    Gadget TheGadget;
};
