// The host's window: messages reach every listener in order through its window procedure,
// listeners come and go (during a broadcast too).

#include "host/Kernel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Heard; // what the listeners heard, in order

// Adds Late to AddTo on its first key down.
struct Recorder : KeyboardListener, MouseListener {
    std::string Name;
    KeyboardListenerList* AddTo = nullptr;
    Recorder* Late = nullptr;
    explicit Recorder(std::string name) : Name(std::move(name)) {}
    bool Hear(const std::string& what) { return Heard += Name + " " + what + ";", false; }
    bool OnKeyUp(std::uint32_t key) override { return Hear("up " + std::to_string(key)); }
    bool OnKeyDown(std::uint32_t key) override {
        if (AddTo != nullptr)
            std::exchange(AddTo, nullptr)->Add(Late);
        return Hear("down " + std::to_string(key));
    }
    bool OnMouseMove(std::int32_t x, std::int32_t y) override {
        return Hear("move " + std::to_string(x) + "," + std::to_string(y));
    }
};

TEST(WindowDispatchTest, KeysAndMovesReachEveryListenerInOrderUntilRemovedAndLateComersAtOnce) {
    Kernel kernel;
    Recorder a("a"), b("b"), late("late");
    kernel.AddKeyboardListener(&a);
    kernel.AddKeyboardListener(&b);
    kernel.AddKeyboardListener(&a);
    kernel.AddMouseListener(&b);
    Window& window = kernel.GetWindow();
    window.WindowProc(WM_KEYDOWN, 38, 0);
    window.WindowProc(WM_KEYUP, 84, 0);
    window.WindowProc(WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFF0001));
    EXPECT_TRUE(kernel.RemoveKeyboardListener(&a) && !kernel.RemoveKeyboardListener(&a) &&
                kernel.RemoveMouseListener(&b));
    window.WindowProc(WM_MOUSEMOVE, 0, 5);
    b.AddTo = window.KeyboardListeners;
    b.Late = &late;
    window.WindowProc(WM_KEYDOWN, 1, 0);
    EXPECT_EQ(Window().WindowProc(WM_KEYDOWN, 38, 0), 0); // no lists at all
    EXPECT_EQ(Heard,
              "a down 38;b down 38;a down 38;a up 84;b up 84;a up 84;b move 1,65535;b down 1;late down 1;");
}

} // namespace
