#pragma once
// What the base library gives a configuration script, made safe to run unattended: chunks load as
// text only (precompiled chunks are not checked by Lua and can corrupt memory), files load only
// when they are regular files (opening or reading a pipe, a terminal or standard input can block
// forever), and no table gets a finalizer (Lua runs finalizers with hooks off, so the instruction
// limit could not stop one).

struct lua_State;

namespace script_sandbox {
// Replaces load, loadfile, dofile and setmetatable in the globals; raises a Lua error when the
// state runs out of memory, so call it in protected mode.
void Restrict(lua_State* L);
// Loads fileName as a text chunk (the chunk on the stack) or gives Lua's error status with its
// message on the stack; a path that exists but is no regular file is refused unopened.
int LoadTextFile(lua_State* L, const char* fileName);
} // namespace script_sandbox
