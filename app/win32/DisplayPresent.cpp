// Whether a window can be shown: on Windows, which names no display in the environment, when the
// process's window station is one the user sees (a service's is not).

#include "app/CommandLine.h"
#include "platform/Platform.h"

bool CommandLine::DisplayPresent() {
    USEROBJECTFLAGS flags{};
    HWINSTA station = GetProcessWindowStation();
    return station != nullptr &&
           GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) != FALSE &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}
