#pragma once
// A private virtual X display for window tests, started on a free display number and stopped with
// the object.

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    static constexpr const char* Program = "/usr/bin/Xvfb";

    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    static bool Installed();
    // Starts the server and waits until it accepts clients; false with the reason.
    bool Start(std::string* error);
    // ":N", for DISPLAY.
    const std::string& Display() const { return Name; }

private:
    pid_t Pid = -1;
    std::string Name;
};
