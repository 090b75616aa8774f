#pragma once
// Turns SDL's window events into the window messages the kernel's window dispatches, with
// Windows virtual-key codes, in one place.

#include "platform/Platform.h"

#include <SDL.h>

#include <optional>

struct WindowMessage {
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

// The virtual-key code of an SDL key, 0 for keys without one.
UINT VirtualKeyFromSdl(SDL_Keycode key);

// Key presses and releases, mouse movement and close requests become messages; Escape asks to
// close. Other events give nothing.
std::optional<WindowMessage> TranslateSdlEvent(const SDL_Event& event);
