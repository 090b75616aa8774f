#include "app/input/VirtualKeys.h"

#include <array>
#include <cctype>
#include <charconv>

namespace vkey {
namespace {

struct NamedKey {
    std::string_view Name;
    UINT Code;
};

constexpr std::array<NamedKey, 27> NamedKeys{{
    {"Left", VK_LEFT},
    {"Up", VK_UP},
    {"Right", VK_RIGHT},
    {"Down", VK_DOWN},
    {"PageUp", VK_PRIOR},
    {"Prior", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"Next", VK_NEXT},
    {"KpPlus", VK_ADD},
    {"Add", VK_ADD},
    {"KpMinus", VK_SUBTRACT},
    {"Subtract", VK_SUBTRACT},
    {"KpMultiply", Multiply},
    {"KpDivide", Divide},
    {"KpDecimal", Decimal},
    {"Escape", Escape},
    {"Space", Space},
    {"Enter", Return},
    {"Tab", Tab},
    {"Backspace", Back},
    {"Home", Home},
    {"End", End},
    {"Insert", Insert},
    {"Delete", Delete},
    {"Shift", Shift},
    {"Control", Control},
    {"Alt", Menu},
}};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<UINT> ParseNumber(std::string_view text) {
    UINT value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<UINT> FromName(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    for (const NamedKey& key : NamedKeys)
        if (SameName(key.Name, name))
            return key.Code;
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0]))); // 'A'..'Z' = 65..90
    if (name.size() == 3 && SameName(name.substr(0, 2), "Kp") &&
        std::isdigit(static_cast<unsigned char>(name[2])))
        return Numpad0 + static_cast<UINT>(name[2] - '0');
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        if (std::optional<UINT> number = ParseNumber(name.substr(1)); number && *number >= 1 && *number <= 12)
            return F1 + *number - 1;
    }
    // A lone digit is the digit key ('0'..'9' = 48..57); longer numbers are codes.
    if (name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0])))
        return static_cast<UINT>(name[0]);
    if (std::optional<UINT> code = ParseNumber(name); code && *code >= 1 && *code <= 254)
        return code;
    return std::nullopt;
}

std::string KnownNames() {
    return "Left Up Right Down PageUp PageDown KpPlus KpMinus KpMultiply KpDivide Kp0..Kp9 Escape Space "
           "Enter "
           "Tab Backspace Home End Insert Delete Shift Control Alt A..Z 0..9 F1..F12, or a code 1..254 (a "
           "lone digit is the digit key; write 05 for code 5)";
}

std::optional<UINT> MessageFor(UINT key, bool down) {
    if (key == Escape)
        return down ? std::optional<UINT>(WM_CLOSE) : std::nullopt;
    return down ? WM_KEYDOWN : WM_KEYUP;
}

} // namespace vkey
