#pragma once
// The process-wide table of window handles, shared by the queue and the window calls.

#include "platform/Platform.h"

#include <optional>

namespace veltra::platform {

struct WindowRecord {
    WNDPROC Procedure = nullptr;
    void* UserData = nullptr;
    bool Visible = false; // as ShowWindow last left it
};

// A copy of the record, so that no lock is held while a window procedure runs.
std::optional<WindowRecord> LookUpWindow(HWND hwnd);

} // namespace veltra::platform
