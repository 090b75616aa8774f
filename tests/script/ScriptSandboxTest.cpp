// The base library's replaced functions (load, loadfile, dofile, setmetatable, xpcall) still work
// as Lua's own for everything they do not refuse. What they refuse is in the hostile catalogue.

#include "ScriptFixture.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using ScriptSandboxTest = ScriptFixture;

TEST_F(ScriptSandboxTest, WhatIsNotRefusedWorksAsLuasOwn) {
    const auto file =
        std::filesystem::temp_directory_path() / ("veltra-sandbox-" + std::to_string(::getpid()));
    std::ofstream(file) << "return x or 7, ...\n";
    const std::string name = "'" + file.string() + "'";
    EXPECT_EQ(Output("print(dofile(" + name + "), loadfile(" + name + ", 'bt', {x = 9})(), loadfile(" + name +
                     ")(8))"),
              "7\t9\t7\t8\n");
    EXPECT_EQ(Output("print(select(2, loadfile(" + name + " .. '.missing')))").rfind("cannot open ", 0), 0u);
    std::filesystem::remove(file);
    EXPECT_EQ(
        Output("local parts, i = {'return ', '5'}, 0\n"
               "print(load('return 6 * 7', 'sum')(), load(function() i = i + 1 return parts[i] end)(),\n"
               "  load('return x', 'env', 't', {x = 7})(), load('return type(print)')())"),
        "42\t5\t7\tfunction\n");
    EXPECT_NE(Run("load({})").find("bad argument #1 to 'load'"), std::string::npos);
    EXPECT_EQ(Output("print(setmetatable({}, {__index = {a = 1}}).a, getmetatable(setmetatable({}, nil)))"),
              "1\tnil\n");
    EXPECT_NE(Run("setmetatable(1, {})").find("bad argument #1 to 'setmetatable'"), std::string::npos);
    EXPECT_NE(Run("setmetatable({}, 1)").find("bad argument #2 to 'setmetatable'"), std::string::npos);
    EXPECT_EQ(Output("print(xpcall(function(a, b) return a + b, 'ok' end, print, 2, 3))\n"
                     "print(xpcall(error, function(m) return 'handled ' .. m end, 'boom'))"),
              "true\t5\tok\nfalse\thandled boom\n");
    EXPECT_NE(Run("xpcall(print)").find("bad argument #2 to 'xpcall'"), std::string::npos);
}

} // namespace
