// Per-thread message queues. Nothing here ever waits: the host's loop alternates one message
// with one frame.

#include "platform/Platform.h"
#include "platform/linux/WindowTable.h"

#include <atomic>
#include <deque>

namespace veltra::platform {
namespace {

thread_local std::deque<MSG> ThreadQueue;
std::atomic<InputSource*> CurrentInputSource{nullptr};

bool Matches(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (hwnd != nullptr && msg.hwnd != hwnd)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

void PollInput() {
    if (InputSource* source = CurrentInputSource.load())
        source->Poll();
}

bool TakeMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) {
    for (auto it = ThreadQueue.begin(); it != ThreadQueue.end(); ++it) {
        if (!Matches(*it, hwnd, filterMin, filterMax))
            continue;
        if (msg != nullptr)
            *msg = *it;
        if (remove)
            ThreadQueue.erase(it);
        return true;
    }
    return false;
}

} // namespace

void SetInputSource(InputSource* source) {
    CurrentInputSource.store(source);
}

int PendingMessageCount() {
    return static_cast<int>(ThreadQueue.size());
}

} // namespace veltra::platform

using namespace veltra::platform;

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    PollInput();
    return TakeMessage(msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!TakeMessage(msg, hwnd, filterMin, filterMax, true)) {
        PollInput();
        if (!TakeMessage(msg, hwnd, filterMin, filterMax, true))
            return -1;
    }
    return msg != nullptr && msg->message == WM_QUIT ? FALSE : TRUE;
}

// Character messages are not produced: nothing here reads them.
BOOL TranslateMessage(const MSG* /*msg*/) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    std::optional<WindowRecord> record = LookUpWindow(msg->hwnd);
    if (!record || record->Procedure == nullptr)
        return 0;
    return record->Procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message == WM_CLOSE)
        DestroyWindow(hwnd);
    return 0;
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd != nullptr && !IsWindow(hwnd))
        return FALSE;
    MSG msg;
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    ThreadQueue.push_back(msg);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    MSG msg;
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(exitCode);
    msg.time = timeGetTime();
    ThreadQueue.push_back(msg);
}
