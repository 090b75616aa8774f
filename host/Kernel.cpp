#include "host/Kernel.h"

Kernel::Kernel() {
    AppWindow.KeyboardListeners = &KeyboardListeners;
    AppWindow.MouseListeners = &MouseListeners;
}
