// Key scripts, key names and the translation of window-system events into window messages.

#include "app/input/KeyScript.h"
#include "app/input/VirtualKeys.h"
#include "app/sdl/SdlKeys.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::pair<UINT, UINT>> Due(const KeyScript& script, int frame) {
    std::vector<std::pair<UINT, UINT>> due;
    for (const KeyScriptEvent& event : script.EventsAt(frame))
        due.emplace_back(event.Message, event.Key);
    return due;
}

} // namespace

TEST(KeyScriptTest, EventsFallDueOnTheirFramesInScriptOrder) {
    std::string error;
    std::optional<KeyScript> script =
        KeyScript::Parse(" 1:up:T, 2:down:Up ,120:UP:up,60-62:down:Left,5:press:PageDown,5:down:107", &error);
    ASSERT_TRUE(script) << error;
    using Pairs = std::vector<std::pair<UINT, UINT>>;
    EXPECT_EQ(Due(*script, 1), (Pairs{{WM_KEYUP, 84}}));
    EXPECT_EQ(Due(*script, 2), (Pairs{{WM_KEYDOWN, VK_UP}}));
    EXPECT_EQ(Due(*script, 3), Pairs{});
    EXPECT_EQ(Due(*script, 120), (Pairs{{WM_KEYUP, VK_UP}}));
    for (int frame : {60, 61, 62})
        EXPECT_EQ(Due(*script, frame), (Pairs{{WM_KEYDOWN, VK_LEFT}})) << frame;
    EXPECT_EQ(Due(*script, 63), Pairs{});
    EXPECT_EQ(Due(*script, 5), (Pairs{{WM_KEYDOWN, VK_NEXT}, {WM_KEYUP, VK_NEXT}, {WM_KEYDOWN, VK_ADD}}));
    // Empty scripts and stray commas are harmless.
    for (const char* text : {"", "  ", "1:down:Up,", ",,"})
        EXPECT_TRUE(KeyScript::Parse(text, &error)) << text << ": " << error;
}

TEST(KeyScriptTest, MistakesAreReportedWithTheEventThatHoldsThem) {
    const char* broken[] = {
        "1:down",            // missing key
        "x:down:Up",         // frame not a number
        "0:down:Up",         // frames start at 1
        "-3:down:Up",        // negative
        "5-2:down:Up",       // backwards range
        "1-:down:Up",        // open range
        "1:hold:Up",         // unknown action
        "1:down:Banana",     // unknown key
        "1:down:300",        // code out of range
        "1:down:Up,2:up",    // second event broken
        "999999999999:up:T", // beyond the largest frame
    };
    for (const char* text : broken) {
        std::string error;
        EXPECT_FALSE(KeyScript::Parse(text, &error)) << text;
        EXPECT_NE(error.find("key event '"), std::string::npos) << text << ": " << error;
    }
}

TEST(KeyScriptTest, PostDueSendsWhatTheKeyboardWouldAndCountsWhatComesLater) {
    std::optional<KeyScript> script = KeyScript::Parse("3:press:T,4:press:Escape,6-9:down:Up", nullptr);
    ASSERT_TRUE(script);
    HWND window = CreateWindowHandle(nullptr, nullptr);
    EXPECT_EQ(script->PostDue(2, window), 0);
    EXPECT_EQ(script->PostDue(3, window), 2);
    // Escape asks to close on its way down and sends nothing up, as in a window.
    EXPECT_EQ(script->PostDue(4, window), 1);
    std::vector<std::pair<UINT, WPARAM>> sent;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_EQ(msg.hwnd, window);
        sent.emplace_back(msg.message, msg.wParam);
    }
    EXPECT_EQ(sent, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, 84}, {WM_KEYUP, 84}, {WM_CLOSE, 0}}));
    EXPECT_EQ(script->MessagesAfter(3), 5); // the Escape and the four held frames
    EXPECT_EQ(script->MessagesAfter(7), 2);
    EXPECT_EQ(script->MessagesAfter(9), 0);
    DestroyWindow(window);
}

TEST(VirtualKeysTest, NamesAndCodesRoundTrip) {
    EXPECT_EQ(vkey::FromName("up"), VK_UP);
    EXPECT_EQ(vkey::FromName("PAGEUP"), VK_PRIOR);
    EXPECT_EQ(vkey::FromName("KpPlus"), VK_ADD);
    EXPECT_EQ(vkey::FromName("t"), 84u);
    EXPECT_EQ(vkey::FromName("7"), static_cast<UINT>('7'));
    EXPECT_EQ(vkey::FromName("84"), 84u);
    for (const char* bad : {"", "F13", "F0", "0x26", "255", "Kp", "UpArrow"})
        EXPECT_FALSE(vkey::FromName(bad)) << bad;
    for (UINT code = 1; code <= 254; ++code) {
        const std::string name = vkey::Name(code);
        EXPECT_EQ(vkey::FromName(name), code) << name;
    }
}

TEST(SdlKeysTest, KeysRepeatsMouseMovesAndClosingBecomeWindowMessages) {
    auto translate = [](Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        event.key.repeat = repeat;
        return TranslateSdlEvent(event);
    };
    for (auto [sdl, code] : {std::pair{SDLK_LEFT, 37},
                             {SDLK_DOWN, 40},
                             {SDLK_PAGEUP, 33},
                             {SDLK_PAGEDOWN, 34},
                             {SDLK_KP_PLUS, 107},
                             {SDLK_KP_MINUS, 109},
                             {SDLK_t, 84},
                             {SDLK_KP_9, 105}}) {
        std::optional<WindowMessage> down = translate(SDL_KEYDOWN, sdl);
        std::optional<WindowMessage> up = translate(SDL_KEYUP, sdl);
        ASSERT_TRUE(down && up) << code;
        EXPECT_EQ(std::pair(down->Message, down->WParam), std::pair(WM_KEYDOWN, static_cast<WPARAM>(code)));
        EXPECT_EQ(std::pair(up->Message, up->WParam), std::pair(WM_KEYUP, static_cast<WPARAM>(code)));
    }
    // Main-keyboard plus is a different key from keypad plus, as on the system.
    EXPECT_FALSE(translate(SDL_KEYDOWN, SDLK_PLUS));
    // Held keys repeat their key-down with the previous-state bit; Escape closes on its way down.
    EXPECT_NE(translate(SDL_KEYDOWN, SDLK_LEFT, 1)->LParam & 0x40000000, 0);
    EXPECT_EQ(translate(SDL_KEYDOWN, SDLK_ESCAPE)->Message, WM_CLOSE);
    EXPECT_FALSE(translate(SDL_KEYUP, SDLK_ESCAPE));
    EXPECT_EQ(translate(SDL_QUIT, 0)->Message, WM_CLOSE);

    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 65537; // wraps to 1, as 16 bits
    event.motion.y = 300;
    std::optional<WindowMessage> move = TranslateSdlEvent(event);
    ASSERT_TRUE(move);
    EXPECT_EQ(std::pair(LOWORD(move->LParam), HIWORD(move->LParam)), std::pair(WORD{1}, WORD{300}));
    event = SDL_Event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(TranslateSdlEvent(event)->Message, WM_CLOSE);
}
