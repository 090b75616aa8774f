#include "platform/FileProbe.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace veltra::platform {

int ProbeWritable(const std::string& path) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
    if (file < 0)
        return errno;
    const bool written = write(file, "", 0) == 0;
    const int writeError = errno;
    close(file);
    return written ? 0 : writeError;
}

} // namespace veltra::platform
