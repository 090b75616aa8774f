// Ctrl-C, Ctrl-Break and closing the console on Windows, where there are no POSIX signals: the
// console's control handler notes the first as SIGINT and the others as SIGTERM, and the run ends
// after a last frame. One a second or more after the first ends the process at once.

#include "app/StopSignals.h"
#include "platform/Platform.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> CaughtSignal{0};
std::atomic<DWORD> FirstCaughtAt{0}; // timeGetTime + 1; 0 until one comes
constexpr DWORD InsistAfter = 1000;  // milliseconds

BOOL WINAPI Note(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    const DWORD now = timeGetTime() | 1u;
    DWORD first = 0;
    if (FirstCaughtAt.compare_exchange_strong(first, now)) {
        CaughtSignal.store(event == CTRL_C_EVENT ? SIGINT : SIGTERM);
        return TRUE;
    }
    return now - first < InsistAfter ? TRUE : FALSE; // FALSE: the system's own handling ends the run
}

} // namespace

StopSignals::StopSignals() {
    CaughtSignal.store(0);
    FirstCaughtAt.store(0);
    SetConsoleCtrlHandler(&Note, TRUE);
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(&Note, FALSE);
}

int StopSignals::Caught() {
    return CaughtSignal.load();
}

const char* StopSignals::Name(int signal) {
    return signal == SIGINT ? "SIGINT" : "SIGTERM";
}
