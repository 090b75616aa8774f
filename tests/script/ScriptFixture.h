#pragma once
// A fresh script state per test, with the base library, and two native classes to bind: the
// host's Window and Gadget, a class of the tests' own that counts its calls and deletions.

#include "host/Window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

struct lua_State;

class Gadget {
public:
    static inline int Deleted = 0;

    Gadget() = default;
    Gadget(const Gadget&) = delete;
    Gadget& operator=(const Gadget&) = delete;
    virtual ~Gadget() { ++Deleted; }

    // False for a negative first argument, so that a script can see both results.
    bool Poke(std::int32_t first, std::int32_t second);
    bool Ping();

    std::int32_t Count = 150;
    std::int32_t Size = 50;
    std::int32_t First = -1;
    std::int32_t Second = -1;
    std::int32_t Calls = 0;
};

// Class "Gadget": properties Count, Size; methods Poke (two ints), Ping. The members are bound
// once per process, the class and the instance on each state.
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
