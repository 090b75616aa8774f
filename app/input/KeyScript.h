#pragma once
// Key presses to play at given frames, for runs without a keyboard.
//
// Syntax: events separated by commas, each FRAMES:ACTION:KEY.
//   FRAMES  a frame number (the first frame is 1) or a range FIRST-LAST, repeated on every frame
//           of it, as a held key repeats;
//   ACTION  down, up, or press (down then up);
//   KEY     a key name (vkey::FromName) or a virtual-key code.
// Example: "1:up:T,2-120:down:Up,121:up:Up" leaves the top view, flies forward, then stops.

#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct KeyScriptEvent {
    int FirstFrame = 1;
    int LastFrame = 1;
    UINT Message = WM_KEYDOWN; // WM_KEYDOWN or WM_KEYUP
    UINT Key = 0;
};

class KeyScript {
public:
    static constexpr int MaxFrame = 100'000'000;

    // The script, or nothing with the reason in *error.
    static std::optional<KeyScript> Parse(std::string_view text, std::string* error);

    // The messages due at a frame, in script order.
    std::vector<KeyScriptEvent> EventsAt(int frame) const;
    // Posts the messages due at a frame to the window, as the keyboard would send them (Escape
    // asks to close); returns how many.
    int PostDue(int frame, HWND window) const;
    // How many messages fall due after a frame: those a run that ends there never sends.
    std::int64_t MessagesAfter(int frame) const;

    const std::vector<KeyScriptEvent>& Events() const { return Scheduled; }
    bool Empty() const { return Scheduled.empty(); }

    static std::string SyntaxHelp();

private:
    std::vector<KeyScriptEvent> Scheduled;
};
