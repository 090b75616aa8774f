#include "platform/FileProbe.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace veltra::platform {

// Windows' files and pipes opened this way do not block on an empty write.
int ProbeWritable(const std::string& path) {
    const int file = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (file < 0)
        return errno;
    const bool written = _write(file, "", 0) == 0;
    const int writeError = errno;
    _close(file);
    return written ? 0 : writeError;
}

} // namespace veltra::platform
