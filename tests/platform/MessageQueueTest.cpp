// The message queue under the window: one message per pump, never a wait, filters, a queue per
// thread, the input source polled; and the module's file name cut to its buffer.

#include "host/Kernel.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<HWND> Dispatched;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dispatched.push_back(hwnd);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct KeyCounter : KeyboardListener {
    int Downs = 0;
    bool OnKeyUp(std::uint32_t) override { return true; }
    bool OnKeyDown(std::uint32_t) override { return ++Downs, true; }
};

TEST(MessageQueueTest, PumpHandlesOneMessagePerCallAndTurnsFalseWhenTheWindowCloses) {
    Window window;
    window.CreateHandle();
    KeyboardListenerList keys;
    KeyCounter counter;
    keys.Add(&counter);
    window.KeyboardListeners = &keys;
    EXPECT_TRUE(window.PumpMessages()); // empty: no wait
    PostMessageA(window.Handle, WM_KEYDOWN, 38, 0);
    PostQuitMessage(3);
    PostMessageA(window.Handle, WM_KEYDOWN, 38, 0);
    for (int pending = 2; pending >= 0; --pending) {
        EXPECT_TRUE(window.PumpMessages());
        EXPECT_EQ(veltra::platform::PendingMessageCount(), pending);
    }
    EXPECT_EQ(counter.Downs, 2);
    PostMessageA(window.Handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.PumpMessages()); // default processing destroyed the window
    EXPECT_EQ(window.Handle, nullptr);
}

TEST(MessageQueueTest, PeekFiltersByWindowAndRangeAndGetMessageNeverWaits) {
    HWND a = CreateWindowHandle(RecordingProc, nullptr);
    HWND b = CreateWindowHandle(RecordingProc, nullptr);
    PostMessageA(a, WM_KEYDOWN, 1, 0);
    PostMessageA(b, WM_MOUSEMOVE, 2, 0);
    PostMessageA(a, WM_KEYUP, 3, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYUP, WM_KEYUP, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    Dispatched.clear();
    DispatchMessageA(&msg);
    EXPECT_EQ(Dispatched, std::vector<HWND>{a});
    DestroyWindow(a);
    DestroyWindow(b);
    EXPECT_FALSE(PostMessageA(a, WM_KEYDOWN, 1, 0));   // the handle is gone
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE); // b's mouse move
    PostQuitMessage(7);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
}

TEST(MessageQueueTest, QueuesArePerThreadAndPeekPollsTheInputSource) {
    PostMessageA(nullptr, WM_KEYDOWN, 1, 0);
    int otherThreadCount = -1;
    std::thread([&] { otherThreadCount = veltra::platform::PendingMessageCount(); }).join();
    EXPECT_EQ(otherThreadCount, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    struct OneKey : veltra::platform::InputSource {
        HWND Target = nullptr;
        int Polls = 0;
        void Poll() override {
            if (Polls++ == 0)
                PostMessageA(Target, WM_KEYDOWN, 84, 0);
        }
    } source;
    Window window;
    source.Target = window.CreateHandle();
    KeyboardListenerList keys;
    KeyCounter counter;
    keys.Add(&counter);
    window.KeyboardListeners = &keys;
    veltra::platform::SetInputSource(&source);
    EXPECT_TRUE(window.PumpMessages());
    veltra::platform::SetInputSource(nullptr);
    EXPECT_EQ(counter.Downs, 1);
    DestroyWindow(window.Handle);
}

TEST(SystemCallsTest, ModuleFileNameIsCutToTheBufferAndTerminated) {
    char full[1024] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, full, sizeof(full)), 4u);
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), 5u);
    EXPECT_EQ(std::string(small), std::string(full, 4));
}

} // namespace
