// Real top-level windows whose messages reach the procedure given to CreateWindowHandle. The
// procedure sees a window only once CreateWindowHandle has returned its handle, as a caller that
// keeps the handle expects; until then, and after WM_DESTROY, the system's default processing
// answers.

#include "platform/Platform.h"

namespace {

constexpr const char* ClassName = "VeltraWindow";

struct WindowRecord {
    WNDPROC Procedure = nullptr;
    void* UserData = nullptr;
    bool Ready = false; // CreateWindowHandle has returned
};

WindowRecord* RecordOf(HWND hwnd) {
    return reinterpret_cast<WindowRecord*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    WindowRecord* record = RecordOf(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        delete record;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (record == nullptr || !record->Ready || record->Procedure == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    const LRESULT result = record->Procedure(hwnd, message, wParam, lParam);
    // After WM_DESTROY the owner has let the handle go: nothing more reaches it.
    if (message == WM_DESTROY)
        record->Ready = false;
    return result;
}

bool RegisterOnce(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSA windowClass = {};
        // Each window keeps its own device context, as an OpenGL context needs.
        windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = &ForwardingProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = ClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

HWND CreateWindowHandle(WNDPROC windowProc, void* userData) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterOnce(instance))
        return nullptr;
    auto* record = new WindowRecord{windowProc, userData, false};
    HWND hwnd = CreateWindowExA(0, ClassName, "Veltra", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                640, 480, nullptr, nullptr, instance, record);
    if (hwnd == nullptr) {
        delete record;
        return nullptr;
    }
    record->Ready = true;
    return hwnd;
}

void* GetWindowUserData(HWND hwnd) {
    const WindowRecord* record = RecordOf(hwnd);
    return record != nullptr ? record->UserData : nullptr;
}

namespace veltra::platform {

void SetWindowBackend(WindowBackend* /*backend*/) {}

void SetInputSource(InputSource* /*source*/) {}

void KeepWindowUnseen(HWND hwnd) {
    SetParent(hwnd, HWND_MESSAGE);
}

int PendingMessageCount() {
    return HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0 ? 1 : 0;
}

} // namespace veltra::platform
