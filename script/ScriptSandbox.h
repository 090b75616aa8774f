#pragma once
// What the base library gives a configuration script, made safe to run unattended: chunks load as
// text only (precompiled chunks are not checked by Lua and can corrupt memory), files load only
// when they are regular files (opening or reading a pipe, a terminal or standard input can block
// forever), no table gets a finalizer, and xpcall runs its message handler after unwinding. Lua
// runs finalizers with hooks off, and the handler of an error raised by a hook too, so the
// instruction and time limits could stop neither.

struct lua_State;

namespace script_sandbox {
// Replaces load, loadfile, dofile, setmetatable and xpcall in the globals; raises a Lua error when the
// state runs out of memory, so call it in protected mode.
void Restrict(lua_State* L);
// Loads fileName as a text chunk (the chunk on the stack) or gives Lua's error status with its
// message on the stack; a path that exists but is no regular file is refused unopened.
int LoadTextFile(lua_State* L, const char* fileName);
} // namespace script_sandbox
