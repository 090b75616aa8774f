#pragma once
// Windows virtual-key codes by name, for key scripts and for translating window-system keys.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>

namespace vkey {

inline constexpr UINT Back = 8;
inline constexpr UINT Tab = 9;
inline constexpr UINT Return = 13;
inline constexpr UINT Shift = 16;
inline constexpr UINT Control = 17;
inline constexpr UINT Menu = 18; // Alt
inline constexpr UINT Escape = 27;
inline constexpr UINT Space = 32;
inline constexpr UINT End = 35;
inline constexpr UINT Home = 36;
inline constexpr UINT Insert = 45;
inline constexpr UINT Delete = 46;
inline constexpr UINT Numpad0 = 96;
inline constexpr UINT Multiply = 106;
inline constexpr UINT Decimal = 110;
inline constexpr UINT Divide = 111;
inline constexpr UINT F1 = 112;

// A key name (case-insensitive: "Up", "PageDown", "KpPlus", "T", "F5", ...) or a code 1..254.
std::optional<UINT> FromName(std::string_view name);
// One line listing the names FromName knows, for --help.
std::string KnownNames();

// The window message a key sends going down or up: Escape asks to close the window on its way
// down and sends nothing up; every other key sends WM_KEYDOWN or WM_KEYUP. The window and key
// scripts both go through here, so that a scripted Escape quits as the real one does.
std::optional<UINT> MessageFor(UINT key, bool down);

} // namespace vkey
