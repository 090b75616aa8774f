// What the configuration script's base library refuses: precompiled chunks, files that are not
// regular files, reading standard input, and finalizers, which would run beyond the instruction
// limit. What it still allows works as Lua's own functions do.

#include "ScriptFixture.h"

#include "script/ScriptVM.h"

#include <lua.hpp>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// "return 42" precompiled by Lua itself.
std::string Precompiled() {
    lua_State* compiler = luaL_newstate();
    std::string bytes;
    luaL_loadstring(compiler, "return 42");
    lua_dump(
        compiler,
        [](lua_State*, const void* data, std::size_t size, void* out) {
            static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
            return 0;
        },
        &bytes, 1);
    lua_close(compiler);
    return bytes;
}

class ScriptSandboxTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        Folder = std::filesystem::temp_directory_path() / ("veltra-sandbox-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Folder);
        lua_pushstring(L, Folder.c_str());
        lua_setglobal(L, "folder");
    }
    void TearDown() override {
        std::filesystem::remove_all(Folder);
        ScriptFixture::TearDown();
    }
    void Write(const char* name, const std::string& bytes) const {
        std::ofstream(Folder / name, std::ios::binary) << bytes;
    }

    std::filesystem::path Folder;
};

TEST_F(ScriptSandboxTest, ChunksLoadAsTextOnly) {
    const std::string bytes = Precompiled();
    lua_pushlstring(L, bytes.data(), bytes.size());
    lua_setglobal(L, "bytes");
    EXPECT_EQ(Output("print(load(bytes))"), "nil\tattempt to load a binary chunk (mode is 't')\n");
    EXPECT_EQ(Output("print(load(bytes, 'b', 'b'))"), "nil\tattempt to load a binary chunk (mode is 't')\n");
    Write("binary.luac", bytes);
    EXPECT_EQ(Output("print(select(2, loadfile(folder .. '/binary.luac')))"),
              "attempt to load a binary chunk (mode is 't')\n");
    EXPECT_NE(Run("dofile(folder .. '/binary.luac')").find("attempt to load a binary chunk"),
              std::string::npos);

    // Text loads as before: names, a reader function, an environment, and no environment.
    EXPECT_EQ(Output("print(load('return 6 * 7', 'sum')())"), "42\n");
    EXPECT_EQ(
        Output(
            "local parts, i = {'return ', '5'}, 0 print(load(function() i = i + 1 return parts[i] end)())"),
        "5\n");
    EXPECT_NE(Run("load({})").find("bad argument #1 to 'load'"), std::string::npos);
    EXPECT_EQ(Output("print(load('return x', 'env', 't', {x = 7})())"), "7\n");
    EXPECT_EQ(Output("print(load('return type(print)')())"), "function\n");
}

TEST_F(ScriptSandboxTest, FilesLoadOnlyWhenTheyAreRegularFiles) {
    Write("seven.lua", "return 7, ...\n");
    EXPECT_EQ(Output("print(dofile(folder .. '/seven.lua'))"), "7\n");
    EXPECT_EQ(Output("print(loadfile(folder .. '/seven.lua')(8))"), "7\t8\n");
    Write("env.lua", "return x\n");
    EXPECT_EQ(Output("print(loadfile(folder .. '/env.lua', 'bt', {x = 9})())"), "9\n");

    // A pipe would block its reader until something writes to it; it is refused unopened.
    ASSERT_EQ(::mkfifo((Folder / "pipe").c_str(), 0600), 0);
    EXPECT_NE(Run("dofile(folder .. '/pipe')").find("pipe: not a regular file"), std::string::npos);
    EXPECT_EQ(Output("print(select(2, loadfile(folder)))"),
              "cannot read " + Folder.string() + ": not a regular file\n");
    EXPECT_NE(Run("dofile('/dev/stdin')").find("not a regular file"), std::string::npos);
    // Without a name Lua would read standard input.
    EXPECT_NE(Run("dofile()").find("bad argument #1 to 'dofile'"), std::string::npos);
    EXPECT_NE(Run("loadfile()").find("bad argument #1 to 'loadfile'"), std::string::npos);
    EXPECT_EQ(Output("print(loadfile(folder .. '/missing.lua'))").rfind("nil\tcannot open ", 0), 0u);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(ScriptVM::RunFile(L, (Folder / "pipe").c_str()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not a regular file"), std::string::npos);
}

TEST_F(ScriptSandboxTest, NoTableGetsAFinalizer) {
    EXPECT_EQ(Run("setmetatable({}, {__gc = function() while true do end end})"),
              "[string \"test\"]:1: finalizers (__gc) are not allowed in configuration scripts");
    EXPECT_NE(Run("setmetatable({}, {__gc = false})").find("finalizers"), std::string::npos);
    // Only a __gc present when the metatable is set makes a finalizer, so adding one later is
    // harmless: collecting the table runs nothing.
    EXPECT_EQ(Output("local mt = {} local t = setmetatable({}, mt) mt.__gc = function() print('ran') end\n"
                     "t = nil collectgarbage() collectgarbage()"),
              "");
    // Everything else about metatables works as before.
    EXPECT_EQ(Output("print(setmetatable({}, {__index = {a = 1}}).a, getmetatable(setmetatable({}, nil)))"),
              "1\tnil\n");
    EXPECT_NE(Run("setmetatable(gadget, nil)").find("cannot change a protected metatable"),
              std::string::npos);
    EXPECT_NE(Run("setmetatable(1, {})").find("bad argument #1 to 'setmetatable'"), std::string::npos);
    EXPECT_NE(Run("setmetatable({}, 1)").find("bad argument #2 to 'setmetatable'"), std::string::npos);
}

TEST_F(ScriptSandboxTest, XpcallStillHandsErrorsToItsHandler) {
    EXPECT_EQ(Output("print(xpcall(function(a, b) return a + b, 'ok' end, print, 2, 3))"), "true\t5\tok\n");
    EXPECT_EQ(Output("print(xpcall(error, function(m) return 'handled ' .. m end, 'boom'))"),
              "false\thandled boom\n");
    EXPECT_EQ(Output("print(xpcall(function() return nil + 1 end, type))"), "false\tstring\n");
    EXPECT_EQ(Output("print(xpcall(error, function() error('again', 0) end, 'first'))"), "false\tagain\n");
    EXPECT_NE(Run("xpcall(print)").find("bad argument #2 to 'xpcall'"), std::string::npos);
}

} // namespace
