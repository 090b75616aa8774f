#pragma once
// Ctrl-C (SIGINT) and SIGTERM during a run: caught, they only note the signal, so that the run ends
// after a last frame as a closed window ends one, and its exit code then says which signal it was.
// Made before the window's library starts, which then leaves them alone. Another signal a second or more
// later ends the process at once, in case the run is stuck; one sooner is the same stop delivered twice. A
// signal the process started out ignoring stays ignored.

class StopSignals {
public:
    StopSignals();
    ~StopSignals(); // the handling they had before
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal caught, or 0.
    static int Caught();
    // "SIGINT" or "SIGTERM".
    static const char* Name(int signal);
};
