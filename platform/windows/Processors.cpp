#include "platform/Processors.h"
#include "platform/Platform.h"

#include <bitset>

namespace veltra::platform {

int UsableProcessorCount() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system))
        return 1;
    const int count = static_cast<int>(std::bitset<sizeof(DWORD_PTR) * 8>(process).count());
    return count > 0 ? count : 1;
}

// Windows gives large pages only to VirtualAlloc with MEM_LARGE_PAGES, which needs a privilege that
// ordinary accounts lack, and never to memory already allocated: the advice has nothing to act on.
void AdviseLargePages(void* /*memory*/, std::size_t /*bytes*/) {}

} // namespace veltra::platform
