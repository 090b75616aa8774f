// Key scripts, with the key names they use, and the translation of window-system events into window
// messages.

#include "app/input/KeyScript.h"
#include "app/sdl/SdlKeys.h"

#include <gtest/gtest.h>

// Messages go out on their frames in script order as the keyboard sends them (key down 256, up 257;
// Escape asks to close, 16, going down and sends nothing up); those due after a frame are counted.
TEST(KeyScriptTest, DueMessagesArePostedOnTheirFramesAsTheKeyboardSendsThem) {
    std::string error;
    const std::optional<KeyScript> script = KeyScript::Parse(
        " 2:press:t, 3:DOWN:107 ,3:up:PAGEUP,4:press:Escape,,6-8:Up:kp3,9:down:F12,9:up:5,10:up:Escape,",
        &error);
    ASSERT_TRUE(script) << error;
    HWND window = CreateWindowHandle(nullptr, nullptr);
    std::string sent;
    int posted = 0;
    for (int frame = 1; frame <= 10; ++frame) {
        posted += script->PostDue(frame, window);
        for (MSG msg; PeekMessageA(&msg, window, 0, 0, PM_REMOVE);)
            sent += std::to_string(frame) + ":" + std::to_string(msg.message) + "/" +
                    std::to_string(msg.wParam) + "/" + std::to_string(msg.lParam) + " ";
    }
    EXPECT_EQ(sent, "2:256/84/0 2:257/84/0 3:256/107/0 3:257/33/0 4:16/0/0 6:257/99/0 7:257/99/0 8:257/99/0 "
                    "9:256/123/0 9:257/53/0 ");
    EXPECT_EQ(
        std::tuple(posted, script->MessagesAfter(3), script->MessagesAfter(6), script->MessagesAfter(9)),
        std::tuple(10, 6, 4, 0));
    DestroyWindow(window);
    for (const char* broken : {"1:down", "x:down:Up", "0:down:Up", "-3:down:Up", "5-2:down:Up", "1-:down:Up",
                               "1:hold:Up", "1:down:Banana", "1:down:300", "1:down:F13", "1:down:Kp",
                               "1:down:0x26", "1:down:Up,2:up", "999999999999:up:T"})
        EXPECT_TRUE(!KeyScript::Parse(broken, &error) && error.starts_with("key event '"))
            << broken << ": " << error;
}

// The window's keys reach the engine with their virtual-key codes, and its events as the system's
// window messages: a key's repeat count 1, bit 30 its previous state, bit 31 going up; Escape going
// down, quitting and closing the window ask to close; a motion packs x and y into 16 bits each.
TEST(SdlKeysTest, KeysBecomeVirtualKeysAndEventsTheSystemsWindowMessages) {
    // clang-format off
    const std::pair<SDL_Keycode, UINT> keys[] = {{SDLK_LEFT, 37}, {SDLK_PAGEDOWN, 34}, {SDLK_KP_PLUS, 107},
        {SDLK_t, 84}, {SDLK_9, 57}, {SDLK_F12, 123}, {SDLK_KP_7, 103}, {SDLK_KP_0, 96}, {SDLK_RSHIFT, 16},
        {SDLK_DOWN, 40}, {SDLK_KP_MINUS, 109}, {SDLK_PLUS, 0}, {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},
        {SDLK_RETURN, 13}, {SDLK_LCTRL, 17}, {SDLK_RALT, 18}, {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},
        {SDLK_PAGEUP, 33}, {SDLK_END, 35}, {SDLK_HOME, 36}, {SDLK_UP, 38}, {SDLK_RIGHT, 39},
        {SDLK_INSERT, 45}, {SDLK_DELETE, 46}, {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PERIOD, 110},
        {SDLK_KP_DIVIDE, 111}, {SDLK_KP_9, 105}, {SDLK_0, 48}, {SDLK_a, 65}, {SDLK_z, 90}};
    // clang-format on
    for (auto [sdl, code] : keys)
        EXPECT_EQ(VirtualKeyFromSdl(sdl), code) << code;
    auto key = [](Uint32 type, SDL_Keycode sym, Uint8 repeat = 0) {
        SDL_Event event{type};
        event.key.keysym.sym = sym, event.key.repeat = repeat;
        return event;
    };
    SDL_Event motion{SDL_MOUSEMOTION}, close{SDL_WINDOWEVENT}, other{SDL_WINDOWEVENT};
    motion.motion.x = 65537, motion.motion.y = -1, close.window.event = SDL_WINDOWEVENT_CLOSE;
    std::string sent; // message/wParam/lParam, or - for none
    for (const SDL_Event& event :
         {key(SDL_KEYDOWN, SDLK_t), key(SDL_KEYDOWN, SDLK_t, 1), key(SDL_KEYUP, SDLK_t),
          key(SDL_KEYDOWN, SDLK_ESCAPE), key(SDL_KEYUP, SDLK_ESCAPE), key(SDL_KEYDOWN, SDLK_PLUS), motion,
          SDL_Event{SDL_QUIT}, close, other}) {
        const std::optional<WindowMessage> m = TranslateSdlEvent(event);
        sent += m ? std::to_string(m->Message) + "/" + std::to_string(m->WParam) + "/" +
                        std::to_string(m->LParam) + " "
                  : "- ";
    }
    EXPECT_EQ(sent,
              "256/84/1 256/84/1073741825 257/84/3221225473 16/0/0 - - 512/0/4294901761 16/0/0 16/0/0 - ");
}
