#include "app/sdl/SdlKeys.h"

#include "app/input/VirtualKeys.h"

UINT VirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<UINT>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<UINT>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return vkey::F1 + static_cast<UINT>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return vkey::Numpad0 + 1 + static_cast<UINT>(key - SDLK_KP_1);
    switch (key) {
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_MULTIPLY:
        return vkey::Multiply;
    case SDLK_KP_DIVIDE:
        return vkey::Divide;
    case SDLK_KP_PERIOD:
        return vkey::Decimal;
    case SDLK_KP_0:
        return vkey::Numpad0;
    case SDLK_KP_ENTER:
    case SDLK_RETURN:
        return vkey::Return;
    case SDLK_ESCAPE:
        return vkey::Escape;
    case SDLK_SPACE:
        return vkey::Space;
    case SDLK_TAB:
        return vkey::Tab;
    case SDLK_BACKSPACE:
        return vkey::Back;
    case SDLK_HOME:
        return vkey::Home;
    case SDLK_END:
        return vkey::End;
    case SDLK_INSERT:
        return vkey::Insert;
    case SDLK_DELETE:
        return vkey::Delete;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return vkey::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return vkey::Control;
    case SDLK_LALT:
    case SDLK_RALT:
        return vkey::Menu;
    default:
        return 0;
    }
}

std::optional<WindowMessage> TranslateSdlEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const UINT key = VirtualKeyFromSdl(event.key.keysym.sym);
        if (key == 0)
            return std::nullopt;
        const bool down = event.type == SDL_KEYDOWN;
        const std::optional<UINT> message = vkey::MessageFor(key, down);
        if (!message)
            return std::nullopt;
        if (*message == WM_CLOSE)
            return WindowMessage{WM_CLOSE, 0, 0};
        // As the system fills it: repeat count 1, bit 30 the previous state, bit 31 the transition.
        LPARAM lParam = 1;
        if (!down)
            lParam |= static_cast<LPARAM>(0xC0000000u);
        else if (event.key.repeat != 0)
            lParam |= static_cast<LPARAM>(0x40000000u);
        return WindowMessage{*message, key, lParam};
    }
    case SDL_MOUSEMOTION:
        // Coordinates wrap to 16 bits each, as the system packs them.
        return WindowMessage{
            WM_MOUSEMOVE, 0,
            MAKELPARAM(static_cast<WORD>(event.motion.x), static_cast<WORD>(event.motion.y))};
    case SDL_QUIT:
        return WindowMessage{WM_CLOSE, 0, 0};
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            return WindowMessage{WM_CLOSE, 0, 0};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}
