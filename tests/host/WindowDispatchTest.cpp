// The host's window: messages reach every listener in order, listeners come and go during a
// broadcast, and the script's window operations reach the system window.

#include "host/Kernel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes what it hears, named, into a shared list of events.
struct Recorder : KeyboardListener, MouseListener {
    std::vector<std::string>* Events;
    std::string Name;
    Recorder(std::vector<std::string>* events, std::string name) : Events(events), Name(std::move(name)) {}
    bool Hear(const std::string& what) { return Events->push_back(Name + " " + what), false; }
    bool OnKeyUp(std::uint32_t key) override { return Hear("up " + std::to_string(key)); }
    bool OnKeyDown(std::uint32_t key) override { return Hear("down " + std::to_string(key)); }
    bool OnMouseMove(std::int32_t x, std::int32_t y) override {
        return Hear("move " + std::to_string(x) + "," + std::to_string(y));
    }
};

TEST(WindowDispatchTest, KeysAndMovesReachEveryListenerInOrderUntilRemoved) {
    Kernel kernel;
    std::vector<std::string> events;
    Recorder a(&events, "a"), b(&events, "b");
    kernel.AddKeyboardListener(&a);
    kernel.AddKeyboardListener(&b);
    kernel.AddKeyboardListener(&a);
    kernel.AddMouseListener(&b);
    Window& window = kernel.GetWindow();
    window.WindowProc(WM_KEYDOWN, 38, 0);
    window.WindowProc(WM_KEYUP, 84, 0);
    window.WindowProc(WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFF0001));
    EXPECT_EQ(events, (std::vector<std::string>{"a down 38", "b down 38", "a down 38", "a up 84", "b up 84",
                                                "a up 84", "b move 1,65535"}));
    EXPECT_TRUE(kernel.RemoveKeyboardListener(&a)); // both of its entries
    EXPECT_FALSE(kernel.RemoveKeyboardListener(&a));
    EXPECT_TRUE(kernel.RemoveMouseListener(&b));
    events.clear();
    window.WindowProc(WM_KEYDOWN, 1, 0);
    window.WindowProc(WM_MOUSEMOVE, 0, 5);
    EXPECT_EQ(events, std::vector<std::string>{"b down 1"});
    EXPECT_EQ(Window().WindowProc(WM_KEYDOWN, 38, 0), 0); // no lists at all
}

TEST(WindowDispatchTest, AListenerAddedDuringABroadcastIsCalledInTheSameBroadcast) {
    KeyboardListenerList list;
    std::vector<std::string> events;
    Recorder late(&events, "late");
    struct Adder : KeyboardListener {
        KeyboardListenerList* List = nullptr;
        KeyboardListener* ToAdd = nullptr;
        bool OnKeyUp(std::uint32_t) override { return true; }
        bool OnKeyDown(std::uint32_t) override { return List->Add(ToAdd), true; }
    } adder;
    adder.List = &list;
    adder.ToAdd = &late;
    list.Add(&adder);
    EXPECT_TRUE(list.OnKeyDown(40));
    EXPECT_EQ(events, (std::vector<std::string>{"late down 40"}));
}

TEST(WindowOperationsTest, MovePlaceResizeShowAndHideReachTheSystemWindowAndItsBackend) {
    struct Backend : veltra::platform::WindowBackend {
        std::vector<std::string> Calls;
        void Move(HWND, int x, int y, int w, int h) override {
            Calls.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
                            std::to_string(h));
        }
        void Show(HWND, bool visible) override { Calls.push_back(visible ? "show" : "hide"); }
    } backend;
    veltra::platform::SetWindowBackend(&backend);
    Window window;
    window.CreateHandle();
    window.X = window.Y = 100;
    window.Width = 640;
    window.Height = 480;
    EXPECT_TRUE(window.MoveWindow(10, -5));
    EXPECT_TRUE(window.PlaceWindow(3, 4));
    EXPECT_TRUE(window.ResizeWindow(320, 200));
    EXPECT_TRUE(window.ShowWindow(true));
    EXPECT_TRUE(window.Visible);
    EXPECT_TRUE(window.HideWindow());
    EXPECT_FALSE(window.Visible);
    veltra::platform::SetWindowBackend(nullptr);
    EXPECT_EQ(backend.Calls,
              (std::vector<std::string>{"110,95 640x480", "3,4 640x480", "3,4 320x200", "show", "hide"}));
    veltra::platform::WindowPlacement placement;
    ASSERT_TRUE(veltra::platform::GetWindowPlacement(window.Handle, &placement));
    EXPECT_EQ(placement.X, 3);
    EXPECT_EQ(placement.Height, 200);
    EXPECT_EQ(placement.MoveCount, 3);
    EXPECT_FALSE(placement.Visible);
    DestroyWindow(window.Handle);
    // A window a script makes has no system window, yet keeps its members.
    Window made;
    EXPECT_TRUE(made.MoveWindow(3, 4));
    EXPECT_EQ(made.X, 3);
    EXPECT_FALSE(made.PumpMessages());
}

} // namespace
