#pragma once
// How much memory the process holds now: heap bytes in use (the sanitizer's allocator count
// under AddressSanitizer, whose allocator replaces the C library's; mallinfo2's arena and mapped blocks
// otherwise) and the resident set size from /proc/self/statm.

#include <cstddef>

struct MemoryUse {
    std::size_t HeapBytes = 0;
    std::size_t ResidentBytes = 0;

    static MemoryUse Now();
};
