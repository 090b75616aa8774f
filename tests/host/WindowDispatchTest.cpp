#include "host/Kernel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct KeyRecorder : KeyboardListener {
    std::vector<std::string>* Events;
    std::string Name;
    KeyRecorder(std::vector<std::string>* events, std::string name) : Events(events), Name(std::move(name)) {}
    bool OnKeyUp(std::uint32_t key) override {
        Events->push_back(Name + " up " + std::to_string(key));
        return false; // results are ignored
    }
    bool OnKeyDown(std::uint32_t key) override {
        Events->push_back(Name + " down " + std::to_string(key));
        return false;
    }
};

struct MouseRecorder : MouseListener {
    std::vector<std::pair<int, int>> Moves;
    bool OnMouseMove(std::int32_t x, std::int32_t y) override {
        Moves.emplace_back(x, y);
        return true;
    }
};

TEST(WindowDispatchTest, KeysAndMovesReachEveryListenerInOrderDuplicatesIncluded) {
    Kernel kernel;
    std::vector<std::string> events;
    KeyRecorder a(&events, "a"), b(&events, "b");
    kernel.AddKeyboardListener(&a);
    kernel.AddKeyboardListener(&b);
    kernel.AddKeyboardListener(&a);
    MouseRecorder mouse;
    kernel.AddMouseListener(&mouse);

    Window& window = kernel.GetWindow();
    window.WindowProc(WM_KEYDOWN, 38, 0);
    window.WindowProc(WM_KEYUP, 84, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"a down 38", "b down 38", "a down 38", "a up 84", "b up 84",
                                                "a up 84"}));

    window.WindowProc(WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFF0001));
    ASSERT_EQ(mouse.Moves.size(), 1u);
    EXPECT_EQ(mouse.Moves[0], std::make_pair(1, 65535));
}

TEST(WindowDispatchTest, NullListsGoStraightToDefaultProcessing) {
    Window window; // lists null, no handle
    EXPECT_EQ(window.WindowProc(WM_KEYDOWN, 38, 0), 0);
    EXPECT_EQ(window.WindowProc(WM_MOUSEMOVE, 0, 5), 0);
    EXPECT_EQ(window.WindowProc(WM_KEYUP, 38, 0), 0);
}

TEST(WindowDispatchTest, ListenerAddedDuringBroadcastIsCalledInTheSameBroadcast) {
    KeyboardListenerList list;
    std::vector<std::string> events;
    KeyRecorder late(&events, "late");
    struct Adder : KeyboardListener {
        KeyboardListenerList* List;
        KeyboardListener* ToAdd;
        bool OnKeyUp(std::uint32_t) override { return true; }
        bool OnKeyDown(std::uint32_t) override {
            List->Add(ToAdd);
            return true;
        }
    } adder;
    adder.List = &list;
    adder.ToAdd = &late;
    list.Add(&adder);
    EXPECT_TRUE(list.OnKeyDown(40));
    EXPECT_EQ(events, (std::vector<std::string>{"late down 40"}));
}

TEST(WindowDispatchTest, RemovedListenerHearsNothingMore) {
    Kernel kernel;
    std::vector<std::string> events;
    KeyRecorder a(&events, "a");
    kernel.AddKeyboardListener(&a);
    kernel.AddKeyboardListener(&a);
    EXPECT_TRUE(kernel.RemoveKeyboardListener(&a));
    EXPECT_FALSE(kernel.RemoveKeyboardListener(&a));
    kernel.GetWindow().WindowProc(WM_KEYDOWN, 1, 0);
    EXPECT_TRUE(events.empty());
}

TEST(WindowOperationsTest, MovePlaceResizeShowAndHideReachTheSystemWindow) {
    Window window;
    window.CreateHandle();
    window.X = 100;
    window.Y = 100;
    window.Width = 640;
    window.Height = 480;
    veltra::platform::WindowPlacement placement;

    EXPECT_TRUE(window.MoveWindow(10, -5));
    ASSERT_TRUE(veltra::platform::GetWindowPlacement(window.Handle, &placement));
    EXPECT_EQ(placement.X, 110);
    EXPECT_EQ(placement.Y, 95);
    EXPECT_EQ(placement.Width, 640);
    EXPECT_EQ(placement.Height, 480);

    EXPECT_TRUE(window.PlaceWindow(0, 0));
    EXPECT_TRUE(window.ResizeWindow(320, 200));
    veltra::platform::GetWindowPlacement(window.Handle, &placement);
    EXPECT_EQ(placement.X, 0);
    EXPECT_EQ(placement.Width, 320);
    EXPECT_EQ(placement.Height, 200);
    EXPECT_EQ(placement.MoveCount, 3);

    EXPECT_TRUE(window.ShowWindow(true));
    veltra::platform::GetWindowPlacement(window.Handle, &placement);
    EXPECT_TRUE(placement.Visible);
    EXPECT_TRUE(window.Visible);
    EXPECT_TRUE(window.HideWindow());
    veltra::platform::GetWindowPlacement(window.Handle, &placement);
    EXPECT_FALSE(placement.Visible);
    EXPECT_FALSE(window.Visible);
    DestroyWindow(window.Handle);
}

TEST(WindowOperationsTest, BackendReceivesMovesAndShowCommands) {
    struct Backend : veltra::platform::WindowBackend {
        std::vector<std::string> Calls;
        void Move(HWND, int x, int y, int w, int h) override {
            Calls.push_back("move " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) +
                            "x" + std::to_string(h));
        }
        void Show(HWND, bool visible) override { Calls.push_back(visible ? "show" : "hide"); }
    } backend;
    veltra::platform::SetWindowBackend(&backend);
    Window window;
    window.CreateHandle();
    window.ResizeWindow(640, 480);
    window.ShowWindow(false);
    veltra::platform::SetWindowBackend(nullptr);
    EXPECT_EQ(backend.Calls, (std::vector<std::string>{"move 0,0 640x480", "hide"}));
    DestroyWindow(window.Handle);
}

TEST(WindowOperationsTest, WindowWithoutHandleStillKeepsItsMembers) {
    Window window; // as a script makes it: no system window
    EXPECT_TRUE(window.MoveWindow(3, 4));
    EXPECT_TRUE(window.ShowWindow(true));
    EXPECT_EQ(window.X, 3);
    EXPECT_EQ(window.Y, 4);
    EXPECT_TRUE(window.Visible);
    EXPECT_FALSE(window.PumpMessages());
}

} // namespace
