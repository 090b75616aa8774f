#include "platform/Platform.h"

#include <cstring>
#include <unistd.h>

// Only the executable's own path is supported (module null), which is all that is ever asked.
// Like the system, a path longer than the buffer is cut and still terminated.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module != nullptr || fileName == nullptr || size == 0)
        return 0;
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length < 0)
        length = 0;
    path[length] = '\0';
    DWORD copied = static_cast<DWORD>(length) < size ? static_cast<DWORD>(length) : size - 1;
    std::memcpy(fileName, path, copied);
    fileName[copied] = '\0';
    return static_cast<DWORD>(length) < size ? copied : size;
}
