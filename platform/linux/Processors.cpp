#include "platform/Processors.h"

#include <sched.h>
#include <sys/mman.h>

namespace veltra::platform {

int UsableProcessorCount() {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (sched_getaffinity(0, sizeof cpus, &cpus) != 0)
        return 1;
    const int count = CPU_COUNT(&cpus);
    return count > 0 ? count : 1;
}

void AdviseLargePages(void* memory, std::size_t bytes) {
    madvise(memory, bytes, MADV_HUGEPAGE);
}

} // namespace veltra::platform
