// Key scripts, key names and the translation of window-system events into window messages.

#include "app/input/KeyScript.h"
#include "app/input/VirtualKeys.h"
#include "app/sdl/SdlKeys.h"

#include <gtest/gtest.h>

namespace {

std::string Text(const std::optional<WindowMessage>& message) {
    return message ? std::to_string(message->Message) + "/" + std::to_string(message->WParam) + "/" +
                         std::to_string(message->LParam) + " "
                   : "none ";
}

} // namespace

// Messages go out on their frames in script order as the keyboard sends them (key down 256, up 257;
// Escape asks to close, 16, going down and sends nothing up); those due after a frame are counted.
TEST(KeyScriptTest, DueMessagesArePostedOnTheirFramesAsTheKeyboardSendsThem) {
    std::string error;
    const std::optional<KeyScript> script =
        KeyScript::Parse(" 2:press:T, 3:DOWN:107 ,3:up:Up,4:press:Escape,,6-8:Up:up,", &error);
    ASSERT_TRUE(script) << error;
    HWND window = CreateWindowHandle(nullptr, nullptr);
    std::string sent;
    int posted = 0;
    for (int frame = 1; frame <= 9; ++frame) {
        posted += script->PostDue(frame, window);
        for (MSG msg; PeekMessageA(&msg, window, 0, 0, PM_REMOVE);)
            sent += std::to_string(frame) + ":" + Text(WindowMessage{msg.message, msg.wParam, msg.lParam});
    }
    EXPECT_EQ(sent,
              "2:256/84/0 2:257/84/0 3:256/107/0 3:257/38/0 4:16/0/0 6:257/38/0 7:257/38/0 8:257/38/0 ");
    EXPECT_EQ(
        std::tuple(posted, script->MessagesAfter(3), script->MessagesAfter(6), script->MessagesAfter(8)),
        std::tuple(8, 4, 2, 0));
    DestroyWindow(window);
    for (const char* broken :
         {"1:down", "x:down:Up", "0:down:Up", "-3:down:Up", "5-2:down:Up", "1-:down:Up", "1:hold:Up",
          "1:down:Banana", "1:down:300", "1:down:Up,2:up", "999999999999:up:T"}) {
        EXPECT_FALSE(KeyScript::Parse(broken, &error)) << broken;
        EXPECT_EQ(error.rfind("key event '", 0), 0u) << broken << ": " << error;
    }
}

TEST(VirtualKeysTest, NamesAndCodesRoundTrip) {
    // clang-format off
    const std::pair<const char*, UINT> named[] = {{"up", 38}, {"PAGEUP", 33}, {"KpPlus", 107}, {"t", 84}, {"7", 55},
                                                  {"84", 84}, {"f12", 123}, {"Kp3", 99}};
    // clang-format on
    for (auto [name, code] : named)
        EXPECT_EQ(vkey::FromName(name), code) << name;
    for (const char* bad : {"", "F13", "F0", "0x26", "255", "Kp", "UpArrow", "Upp"})
        EXPECT_FALSE(vkey::FromName(bad)) << bad;
    for (UINT code = 1; code <= 254; ++code)
        EXPECT_EQ(vkey::FromName(vkey::Name(code)), code) << vkey::Name(code);
}

// Keys carry the system's previous-state and transition bits (1 down, 0x40000001 repeated,
// 0xC0000001 up); Escape and closing the window ask to close; mouse moves pack 16-bit coordinates.
TEST(SdlKeysTest, EventsBecomeTheWindowMessagesTheSystemWouldSend) {
    auto translate = [](Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
        SDL_Event event{type};
        event.key.keysym.sym = key;
        event.key.repeat = repeat;
        return Text(TranslateSdlEvent(event));
    };
    // clang-format off
    const std::pair<SDL_Keycode, int> keys[] = {{SDLK_LEFT, 37}, {SDLK_PAGEDOWN, 34}, {SDLK_KP_PLUS, 107}, {SDLK_a, 65},
        {SDLK_9, 57}, {SDLK_F12, 123}, {SDLK_KP_1, 97}, {SDLK_KP_0, 96}, {SDLK_RSHIFT, 16}, {SDLK_KP_ENTER, 13}};
    // clang-format on
    for (auto [sdl, code] : keys)
        EXPECT_EQ(translate(SDL_KEYDOWN, sdl) + translate(SDL_KEYUP, sdl),
                  "256/" + std::to_string(code) + "/1 257/" + std::to_string(code) + "/3221225473 ");
    EXPECT_EQ(translate(SDL_KEYDOWN, SDLK_LEFT, 1) + translate(SDL_KEYDOWN, SDLK_PLUS) +
                  translate(SDL_KEYDOWN, SDLK_ESCAPE) + translate(SDL_KEYUP, SDLK_ESCAPE) +
                  translate(SDL_QUIT, 0),
              "256/37/1073741825 none 16/0/0 none 16/0/0 ");
    SDL_Event event{SDL_MOUSEMOTION};
    event.motion.x = 65537; // wraps to 1
    event.motion.y = 300;
    EXPECT_EQ(Text(TranslateSdlEvent(event)), "512/0/19660801 ");
    event = SDL_Event{SDL_WINDOWEVENT};
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(Text(TranslateSdlEvent(event)), "16/0/0 ");
}
