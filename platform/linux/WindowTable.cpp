#include "platform/linux/WindowTable.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace veltra::platform {
namespace {

struct Table {
    std::mutex Mutex;
    std::unordered_map<HWND, WindowRecord> Windows;
    std::uintptr_t NextHandle = 0x100;
    WindowBackend* Backend = nullptr;
};

Table& GetTable() {
    static Table table;
    return table;
}

} // namespace

std::optional<WindowRecord> LookUpWindow(HWND hwnd) {
    Table& table = GetTable();
    std::lock_guard lock(table.Mutex);
    auto found = table.Windows.find(hwnd);
    if (found == table.Windows.end())
        return std::nullopt;
    return found->second;
}

void SetWindowBackend(WindowBackend* backend) {
    Table& table = GetTable();
    std::lock_guard lock(table.Mutex);
    table.Backend = backend;
}

void KeepWindowUnseen(HWND /*hwnd*/) {}

} // namespace veltra::platform

using namespace veltra::platform;

HWND CreateWindowHandle(WNDPROC windowProc, void* userData) {
    Table& table = GetTable();
    std::lock_guard lock(table.Mutex);
    HWND hwnd = reinterpret_cast<HWND>(table.NextHandle);
    table.NextHandle += 0x10;
    table.Windows[hwnd] = WindowRecord{windowProc, userData, {}};
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    std::optional<WindowRecord> record = LookUpWindow(hwnd);
    if (!record)
        return FALSE;
    if (record->Procedure != nullptr)
        record->Procedure(hwnd, WM_DESTROY, 0, 0);
    Table& table = GetTable();
    std::lock_guard lock(table.Mutex);
    table.Windows.erase(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return LookUpWindow(hwnd) ? TRUE : FALSE;
}

void* GetWindowUserData(HWND hwnd) {
    std::optional<WindowRecord> record = LookUpWindow(hwnd);
    return record ? record->UserData : nullptr;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL /*repaint*/) {
    WindowBackend* backend = nullptr;
    {
        Table& table = GetTable();
        std::lock_guard lock(table.Mutex);
        auto found = table.Windows.find(hwnd);
        if (found == table.Windows.end())
            return FALSE;
        backend = table.Backend;
    }
    if (backend != nullptr)
        backend->Move(hwnd, x, y, width, height);
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int showCommand) {
    WindowBackend* backend = nullptr;
    bool wasVisible = false;
    bool visible = showCommand != SW_HIDE;
    {
        Table& table = GetTable();
        std::lock_guard lock(table.Mutex);
        auto found = table.Windows.find(hwnd);
        if (found == table.Windows.end())
            return FALSE;
        wasVisible = found->second.Visible;
        found->second.Visible = visible;
        backend = table.Backend;
    }
    if (backend != nullptr)
        backend->Show(hwnd, visible);
    return wasVisible ? TRUE : FALSE;
}
