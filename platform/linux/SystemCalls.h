#pragma once
// Linux's stand-in for the Windows calls the module and the host make: the same names, types and
// constants, so that the calling code reads as it does on Windows. libveltra_platform.so holds the
// one process-wide copy of the window table, the message queues and the random state.
// Included through platform/Platform.h only.

#include <cstdint>

#define VELTRA_PLATFORM_API __attribute__((visibility("default")))
#define CALLBACK

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HMODULE = HINSTANCE__*;

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};
using LPMSG = MSG*;

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};
using LPSYSTEMTIME = SYSTEMTIME*;

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

inline constexpr UINT VK_PRIOR = 33; // Page Up
inline constexpr UINT VK_NEXT = 34;  // Page Down
inline constexpr UINT VK_LEFT = 37;
inline constexpr UINT VK_UP = 38;
inline constexpr UINT VK_RIGHT = 39;
inline constexpr UINT VK_DOWN = 40;
inline constexpr UINT VK_ADD = 107;      // numeric keypad +
inline constexpr UINT VK_SUBTRACT = 109; // numeric keypad -

inline constexpr WORD LOWORD(LPARAM value) {
    return static_cast<WORD>(static_cast<std::uintptr_t>(value) & 0xFFFF);
}
inline constexpr WORD HIWORD(LPARAM value) {
    return static_cast<WORD>((static_cast<std::uintptr_t>(value) >> 16) & 0xFFFF);
}
inline constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// --- Message queue: one per thread, as the system's. ---
VELTRA_PLATFORM_API BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
// Returns 0 for WM_QUIT, -1 when the queue is empty and no input source could supply a message
// (with nothing else on this thread to post one, waiting would never end), otherwise nonzero.
VELTRA_PLATFORM_API BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
VELTRA_PLATFORM_API BOOL TranslateMessage(const MSG* msg);
VELTRA_PLATFORM_API LRESULT DispatchMessageA(const MSG* msg);
VELTRA_PLATFORM_API LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
VELTRA_PLATFORM_API BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
VELTRA_PLATFORM_API void PostQuitMessage(int exitCode);

// --- Windows. ---
// Sends WM_DESTROY to the window procedure, then forgets the handle.
VELTRA_PLATFORM_API BOOL DestroyWindow(HWND hwnd);
VELTRA_PLATFORM_API BOOL IsWindow(HWND hwnd);
VELTRA_PLATFORM_API BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
// Returns whether the window was visible before the call, as the system does.
VELTRA_PLATFORM_API BOOL ShowWindow(HWND hwnd, int showCommand);

// --- Time and process. ---
VELTRA_PLATFORM_API void GetLocalTime(LPSYSTEMTIME time);
VELTRA_PLATFORM_API DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
VELTRA_PLATFORM_API DWORD timeGetTime();
