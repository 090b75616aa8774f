#include "app/StopSignals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> CaughtSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

constexpr int Stopping[] = {SIGINT, SIGTERM};
struct sigaction Before[2]; // what each of them did before

void Note(int signal) {
    CaughtSignal.store(signal);
}

} // namespace

StopSignals::StopSignals() {
    CaughtSignal.store(0);
    struct sigaction action {};
    action.sa_handler = &Note;
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i) {
        sigaction(Stopping[i], nullptr, &Before[i]);
        // A signal the process was started to ignore (Ctrl-C for a background job) stays ignored.
        if (Before[i].sa_handler != SIG_IGN)
            sigaction(Stopping[i], &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 2; ++i)
        sigaction(Stopping[i], &Before[i], nullptr);
}

int StopSignals::Caught() {
    return CaughtSignal.load();
}

const char* StopSignals::Name(int signal) {
    return signal == SIGINT ? "SIGINT" : "SIGTERM";
}
