#pragma once

// What the binding prints on standard output when it refuses an access. It never raises a Lua
// error: the script is told, then goes on.
namespace script_messages {
inline constexpr const char* AssignFunction = "  ERROR : trying to assign a function\n";
inline constexpr const char* GetWriteOnly = "ERROR : trying to get a WRITE ONLY variable\n";
inline constexpr const char* SetReadOnly = "ERROR : trying to set a READ ONLY variable\n";
inline constexpr const char* SetUnknown = "ERROR : trying to set an unknown variable\n";
inline constexpr const char* CallWithoutObject = "ERROR : trying to call a method without its object\n";
inline constexpr const char* Collected = "gc\n";

void Print(const char* message);
} // namespace script_messages
