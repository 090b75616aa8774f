#include "MemoryUse.h"

#include <fstream>

#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (its header is not always installed).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

MemoryUse MemoryUse::Now() {
    MemoryUse use;
#if defined(__SANITIZE_ADDRESS__)
    use.HeapBytes = __sanitizer_get_current_allocated_bytes();
#else
    // The arenas' blocks and the blocks glibc maps on their own: a large block may be either, and
    // which one changes as glibc moves its mapping threshold after the first large free.
    const struct mallinfo2 info = mallinfo2();
    use.HeapBytes = info.uordblks + info.hblkhd;
#endif
    std::size_t totalPages = 0;
    std::size_t residentPages = 0;
    std::ifstream("/proc/self/statm") >> totalPages >> residentPages;
    use.ResidentBytes = residentPages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return use;
}
