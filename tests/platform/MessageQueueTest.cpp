// The message queue under the window: one message per pump and never a wait, the input source
// polled, filters by window and range, a queue per thread, and GetMessage that never waits either.

#include "host/Kernel.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<std::pair<HWND, WPARAM>> Heard; // what window procedures and the key listener got

struct KeyRecorder : KeyboardListener, veltra::platform::InputSource {
    HWND Target = nullptr;
    bool OnKeyUp(std::uint32_t) override { return true; }
    bool OnKeyDown(std::uint32_t key) override { return Heard.emplace_back(nullptr, key), true; }
    void Poll() override {
        if (Target != nullptr) // once
            PostMessageA(std::exchange(Target, nullptr), WM_KEYDOWN, 84, 0);
    }
};

TEST(MessageQueueTest, PumpHandlesOneMessagePerCallPollsItsInputAndTurnsFalseWhenTheWindowCloses) {
    Heard.clear();
    Window window;
    KeyRecorder recorder;
    recorder.Target = window.CreateHandle();
    KeyboardListenerList keys;
    keys.Add(&recorder);
    window.KeyboardListeners = &keys;
    EXPECT_TRUE(window.PumpMessages()); // empty: no wait
    PostMessageA(window.Handle, WM_KEYDOWN, 38, 0);
    PostQuitMessage(3);
    PostMessageA(window.Handle, WM_KEYDOWN, 39, 0);
    veltra::platform::SetInputSource(&recorder);
    std::vector<int> pending;
    for (int pump = 0; pump < 4; ++pump)
        pending.push_back(window.PumpMessages() ? veltra::platform::PendingMessageCount() : -1);
    veltra::platform::SetInputSource(nullptr);
    EXPECT_EQ(pending, (std::vector{3, 2, 1, 0}));
    PostMessageA(window.Handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.PumpMessages()); // default processing destroyed the window
    EXPECT_EQ(window.Handle, nullptr);

    const auto proc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return Heard.emplace_back(hwnd, wParam), DefWindowProcA(hwnd, message, wParam, lParam);
    };
    HWND a = CreateWindowHandle(proc, nullptr), b = CreateWindowHandle(proc, nullptr);
    PostMessageA(a, WM_KEYDOWN, 1, 0);
    PostMessageA(b, WM_MOUSEMOVE, 2, 0);
    PostMessageA(a, WM_KEYUP, 3, 0);
    std::thread([] { EXPECT_EQ(veltra::platform::PendingMessageCount(), 0); }).join();
    MSG msg;
    for (auto [hwnd, first, last, remove] : {std::tuple<HWND, UINT, UINT, UINT>{b, 0, 0, PM_NOREMOVE},
                                             {nullptr, WM_KEYUP, WM_KEYUP, PM_REMOVE},
                                             {nullptr, 0, 0, PM_REMOVE}})
        if (PeekMessageA(&msg, hwnd, first, last, remove))
            DispatchMessageA(&msg);
    EXPECT_EQ(Heard, (std::vector<std::pair<HWND, WPARAM>>{
                         {nullptr, 38}, {nullptr, 39}, {nullptr, 84}, {b, 2}, {a, 3}, {a, 1}}));
    DestroyWindow(a);
    DestroyWindow(b);
    EXPECT_FALSE(PostMessageA(a, WM_KEYDOWN, 1, 0)); // the handle is gone
    const BOOL gotMove = GetMessageA(&msg, nullptr, 0, 0);
    PostQuitMessage(7);
    const BOOL gotQuit = GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_EQ(
        std::vector({gotMove, gotQuit, static_cast<BOOL>(msg.wParam), GetMessageA(&msg, nullptr, 0, 0)}),
        std::vector<BOOL>({TRUE, FALSE, 7, -1}));
}

} // namespace
