#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "platform/Processors.h"

// Storage for the big per-vertex arrays, in 2 MiB pages where the system hands them out on request:
// a sweep down the columns of a wide grid, or a pass across them, otherwise finds a new 4 KiB page
// at almost every vertex, and the address translations cost more than the arithmetic. Smaller
// arrays start on a cache line of their own, so that two threads writing two of them never share
// one.
template <typename T>
struct LargePageAllocator {
    using value_type = T;
    static constexpr std::size_t PageBytes = std::size_t{2} << 20;
    static constexpr std::size_t LineBytes = 64;

    LargePageAllocator() = default;
    template <typename U>
    explicit LargePageAllocator(const LargePageAllocator<U>& /*other*/) {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < PageBytes)
            return static_cast<T*>(::operator new (bytes, std::align_val_t{LineBytes}));
        void* memory = ::operator new (bytes, std::align_val_t{PageBytes});
        // Only advice: without it, or where it is refused, the pages are ordinary ones.
        veltra::platform::AdviseLargePages(memory, bytes / PageBytes * PageBytes);
        return static_cast<T*>(memory);
    }

    void deallocate(T* memory, std::size_t count) {
        if (count * sizeof(T) < PageBytes)
            ::operator delete (memory, std::align_val_t{LineBytes});
        else
            ::operator delete (memory, std::align_val_t{PageBytes});
    }

    template <typename U>
    bool operator==(const LargePageAllocator<U>& /*other*/) const {
        return true;
    }
};

template <typename T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;
