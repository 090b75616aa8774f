#pragma once

#include "host/KeyboardListenerList.h"
#include "host/MouseListenerList.h"
#include "host/Window.h"
#include "log/Log.h"

#include <cstdint>

// What the host owns and the module reaches through its kernel pointer.
class Kernel {
public:
    std::uint32_t HostFlags = 0; // free for the host's own use

    // Points the window's listener pointers at the kernel's own lists.
    Kernel();
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    Window& GetWindow() { return AppWindow; }
    Log& GetLog() { return AppLog; }
    bool AddKeyboardListener(KeyboardListener* listener) { return KeyboardListeners.Add(listener); }
    bool AddMouseListener(MouseListener* listener) { return MouseListeners.Add(listener); }
    bool RemoveKeyboardListener(KeyboardListener* listener) { return KeyboardListeners.Remove(listener); }
    bool RemoveMouseListener(MouseListener* listener) { return MouseListeners.Remove(listener); }

private:
    Window AppWindow;
    KeyboardListenerList KeyboardListeners;
    MouseListenerList MouseListeners;
    Log AppLog;
};
