// Whether a window can be shown: on Linux, when the environment names an X or Wayland display.

#include "app/CommandLine.h"

#include <cstdlib>

bool CommandLine::DisplayPresent() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}
