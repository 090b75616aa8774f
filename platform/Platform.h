#pragma once
// The small part of the operating-system interface that the module and the host call, with the
// names, types and constants a Windows programmer expects. On Windows they are the system's own;
// elsewhere a stand-in gives the same. Only platform/ knows which system it is on.

#ifdef _WIN32
#include "platform/windows/SystemCalls.h"
#else
#include "platform/linux/SystemCalls.h"
#endif

// A window handle bound to a window procedure; userData is what GetWindowUserData gives back.
// On Windows a real top-level window, hidden until shown.
VELTRA_PLATFORM_API HWND CreateWindowHandle(WNDPROC windowProc, void* userData);
VELTRA_PLATFORM_API void* GetWindowUserData(HWND hwnd);

namespace veltra::platform {

// A real window system behind the stand-in's handles: MoveWindow and ShowWindow reach it.
class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual void Move(HWND hwnd, int x, int y, int width, int height) = 0;
    virtual void Show(HWND hwnd, bool visible) = 0;
};

// Where the stand-in's input comes from: PeekMessageA and GetMessageA call Poll, which posts what
// arrived.
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual void Poll() = 0;
};

// Both hooks are process-wide and not owned; pass null to remove. On Windows the system's own
// windows and input need neither, and both are ignored.
VELTRA_PLATFORM_API void SetWindowBackend(WindowBackend* backend);
VELTRA_PLATFORM_API void SetInputSource(InputSource* source);
// For a run with nothing to show: the window keeps taking messages but never appears, whatever
// ShowWindow later asks (on Windows a message-only window; the stand-in's windows without a backend
// never appear anyway).
VELTRA_PLATFORM_API void KeepWindowUnseen(HWND hwnd);
// Number of messages waiting in the calling thread's queue. Windows tells only whether any wait:
// there it is 0 or 1.
VELTRA_PLATFORM_API int PendingMessageCount();

} // namespace veltra::platform
