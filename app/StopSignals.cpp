#include "app/StopSignals.h"

#include <atomic>
#include <csignal>
#include <ctime>

namespace {

std::atomic<int> CaughtSignal{0};
std::atomic<long long> FirstCaughtAt{0}; // monotonic nanoseconds; 0 until a signal comes
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long long>::is_always_lock_free,
              "set from a signal handler");
// One stop is often delivered twice at once: `timeout` passes it to its command and then to the
// command's whole group. Only a signal this long after the first means the user insists.
constexpr long long InsistAfter = 1'000'000'000;

constexpr int Stopping[] = {SIGINT, SIGTERM};
struct sigaction Before[2]; // what each of them did before

long long MonotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);                  // safe in a signal handler
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec + 1; // never 0, which means none yet
}

void Note(int signal) {
    const long long now = MonotonicNow();
    long long first = 0;
    if (FirstCaughtAt.compare_exchange_strong(first, now)) {
        CaughtSignal.store(signal);
        return;
    }
    if (now - first < InsistAfter)
        return;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal); // a stuck run ends at once
}

} // namespace

StopSignals::StopSignals() {
    CaughtSignal.store(0);
    FirstCaughtAt.store(0);
    struct sigaction action {};
    action.sa_handler = &Note;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : Stopping)
        sigaddset(&action.sa_mask, signal);
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
