#include "XvfbServer.h"

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

bool XvfbServer::Installed() {
    return access(Program, X_OK) == 0;
}

bool XvfbServer::Start(std::string* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = "no pipe";
        return false;
    }
    Pid = fork();
    if (Pid < 0) {
        *error = "cannot fork";
        return false;
    }
    if (Pid == 0) {
        close(fds[0]);
        // -displayfd: the server picks a free display and writes its number once it is ready.
        const std::string fd = std::to_string(fds[1]);
        execl(Program, Program, "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    while (poll(&ready, 1, 20000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) {
        *error = "Xvfb did not report a display";
        return false;
    }
    Name = ":" + number;
    return true;
}

XvfbServer::~XvfbServer() {
    if (Pid > 0) {
        kill(Pid, SIGTERM);
        waitpid(Pid, nullptr, 0);
    }
}
