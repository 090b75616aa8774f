#include "host/Kernel.h"
#include "platform/Platform.h"
#include "platform/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Recorded {
    HWND Hwnd;
    UINT Message;
    WPARAM WParam;
};
std::vector<Recorded> Seen;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Seen.push_back({hwnd, message, wParam});
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class MessageQueueTest : public testing::Test {
protected:
    void SetUp() override { Seen.clear(); }
    void TearDown() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        veltra::platform::SetInputSource(nullptr);
    }
};

TEST_F(MessageQueueTest, PumpHandlesOneMessagePerCallAndNeverWaits) {
    Window window;
    window.CreateHandle();
    KeyboardListenerList keys;
    window.KeyboardListeners = &keys;

    // Empty queue: returns at once, true while the handle exists.
    EXPECT_TRUE(window.PumpMessages());

    PostMessageA(window.Handle, WM_KEYDOWN, 38, 0);
    PostMessageA(window.Handle, WM_KEYUP, 38, 0);
    EXPECT_EQ(veltra::platform::PendingMessageCount(), 2);
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_EQ(veltra::platform::PendingMessageCount(), 1);
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_EQ(veltra::platform::PendingMessageCount(), 0);
    DestroyWindow(window.Handle);
}

TEST_F(MessageQueueTest, QuitIsTakenLikeAnyMessageAndPumpTurnsFalseWhenTheWindowCloses) {
    Window window;
    window.CreateHandle();
    PostQuitMessage(3);
    EXPECT_TRUE(window.PumpMessages()); // the quit message is taken and dispatched (to no window)
    EXPECT_EQ(veltra::platform::PendingMessageCount(), 0);

    PostMessageA(window.Handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.PumpMessages()); // default processing destroyed the window
    EXPECT_EQ(window.Handle, nullptr);
    EXPECT_FALSE(window.PumpMessages());
}

TEST_F(MessageQueueTest, GetMessageReportsQuitAndEmptyQueueWithoutWaiting) {
    MSG msg;
    PostQuitMessage(7);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
}

TEST_F(MessageQueueTest, PeekFiltersByWindowAndRangeAndKeepsOrder) {
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
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Hwnd, a);
    DestroyWindow(a);
    DestroyWindow(b);
    EXPECT_EQ(Seen.back().Message, WM_DESTROY);
    EXPECT_FALSE(PostMessageA(a, WM_KEYDOWN, 1, 0)); // the handle is gone
}

TEST_F(MessageQueueTest, QueuesArePerThread) {
    PostMessageA(nullptr, WM_KEYDOWN, 1, 0);
    int otherThreadCount = -1;
    std::thread([&] { otherThreadCount = veltra::platform::PendingMessageCount(); }).join();
    EXPECT_EQ(otherThreadCount, 0);
    EXPECT_EQ(veltra::platform::PendingMessageCount(), 1);
}

TEST_F(MessageQueueTest, PeekPollsTheInputSource) {
    struct OneKey : veltra::platform::InputSource {
        HWND Target = nullptr;
        int Polls = 0;
        void Poll() override {
            if (Polls++ == 0)
                PostMessageA(Target, WM_KEYDOWN, 84, 0);
        }
    } source;
    Window window;
    window.CreateHandle();
    KeyboardListenerList keys;
    struct Counter : KeyboardListener {
        int Downs = 0;
        bool OnKeyUp(std::uint32_t) override { return true; }
        bool OnKeyDown(std::uint32_t) override { return ++Downs, true; }
    } counter;
    keys.Add(&counter);
    window.KeyboardListeners = &keys;
    source.Target = window.Handle;
    veltra::platform::SetInputSource(&source);
    EXPECT_TRUE(window.PumpMessages());
    veltra::platform::SetInputSource(nullptr);
    EXPECT_EQ(counter.Downs, 1);
    DestroyWindow(window.Handle);
}

TEST(RuntimeRandomTest, FollowsTheRuntimeRule) {
    veltra::platform::RuntimeSrand(1);
    // The runtime's first draws after seeding with 1.
    EXPECT_EQ(veltra::platform::RuntimeRand(), 41);
    EXPECT_EQ(veltra::platform::RuntimeRand(), 18467);
    EXPECT_EQ(veltra::platform::RuntimeRand(), 6334);
    veltra::platform::RuntimeSrand(0xFFFFFFFFu);
    std::uint32_t state = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(veltra::platform::RuntimeRand(), static_cast<int>((state >> 16) & 0x7FFF));
}

TEST(SystemCallsTest, ModuleFileNameIsCutToTheBufferAndTerminated) {
    char full[1024] = {};
    DWORD length = GetModuleFileNameA(nullptr, full, sizeof(full));
    ASSERT_GT(length, 4u);
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), 5u);
    EXPECT_EQ(small[4], '\0');
    EXPECT_EQ(std::string(small), std::string(full, 4));
}

} // namespace
