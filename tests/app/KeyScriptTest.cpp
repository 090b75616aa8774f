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
}

TEST(KeyScriptTest, EmptyScriptsAndTrailingCommasAreFine) {
    for (const char* text : {"", "  ", "1:down:Up,", ",,"}) {
        std::string error;
        EXPECT_TRUE(KeyScript::Parse(text, &error)) << text << ": " << error;
    }
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
    EXPECT_EQ(vkey::FromName("Next"), VK_NEXT);
    EXPECT_EQ(vkey::FromName("KpPlus"), VK_ADD);
    EXPECT_EQ(vkey::FromName("kpminus"), VK_SUBTRACT);
    EXPECT_EQ(vkey::FromName("t"), 84u);
    EXPECT_EQ(vkey::FromName("7"), static_cast<UINT>('7'));
    EXPECT_EQ(vkey::FromName("Kp7"), 103u);
    EXPECT_EQ(vkey::FromName("F12"), 123u);
    EXPECT_EQ(vkey::FromName("84"), 84u);
    for (const char* bad : {"", "F13", "F0", "0x26", "255", "Kp", "UpArrow"})
        EXPECT_FALSE(vkey::FromName(bad)) << bad;
    for (UINT code = 1; code <= 254; ++code) {
        const std::string name = vkey::Name(code);
        EXPECT_EQ(vkey::FromName(name), code) << name;
    }
}

TEST(SdlKeysTest, KeysBecomeKeyMessagesWithVirtualKeyCodes) {
    const std::pair<SDL_Keycode, UINT> keys[] = {
        {SDLK_LEFT, 37},     {SDLK_UP, 38},       {SDLK_RIGHT, 39},     {SDLK_DOWN, 40}, {SDLK_PAGEUP, 33},
        {SDLK_PAGEDOWN, 34}, {SDLK_KP_PLUS, 107}, {SDLK_KP_MINUS, 109}, {SDLK_t, 84},    {SDLK_0, 48},
        {SDLK_KP_0, 96},     {SDLK_KP_9, 105},    {SDLK_F1, 112},
    };
    for (auto [sdl, code] : keys) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = sdl;
        std::optional<WindowMessage> down = TranslateSdlEvent(event);
        ASSERT_TRUE(down) << code;
        EXPECT_EQ(down->Message, WM_KEYDOWN);
        EXPECT_EQ(down->WParam, code);
        event.type = SDL_KEYUP;
        std::optional<WindowMessage> up = TranslateSdlEvent(event);
        ASSERT_TRUE(up);
        EXPECT_EQ(up->Message, WM_KEYUP);
        EXPECT_EQ(up->WParam, code);
    }
    // Main-keyboard plus is a different key from keypad plus, as on the system.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PLUS), 0u);
    SDL_Event unknown{};
    unknown.type = SDL_KEYDOWN;
    unknown.key.keysym.sym = SDLK_CAPSLOCK;
    EXPECT_FALSE(TranslateSdlEvent(unknown));
}

TEST(SdlKeysTest, RepeatsMouseMovesAndClosing) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_LEFT;
    event.key.repeat = 1;
    std::optional<WindowMessage> repeat = TranslateSdlEvent(event);
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->Message, WM_KEYDOWN); // held keys repeat their key-down
    EXPECT_NE(repeat->LParam & 0x40000000, 0);

    event = SDL_Event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 65537; // wraps to 1, as 16 bits
    event.motion.y = 300;
    std::optional<WindowMessage> move = TranslateSdlEvent(event);
    ASSERT_TRUE(move);
    EXPECT_EQ(LOWORD(move->LParam), 1);
    EXPECT_EQ(HIWORD(move->LParam), 300);

    event = SDL_Event{};
    event.type = SDL_QUIT;
    EXPECT_EQ(TranslateSdlEvent(event)->Message, WM_CLOSE);
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(TranslateSdlEvent(event)->Message, WM_CLOSE);
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_ESCAPE;
    EXPECT_EQ(TranslateSdlEvent(event)->Message, WM_CLOSE);
    event.type = SDL_KEYUP;
    EXPECT_FALSE(TranslateSdlEvent(event));
}
