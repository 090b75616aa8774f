#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>

namespace {
std::atomic<bool> Counting{false};
std::atomic<long> Count{0};
void Note() {
    if (Counting.load(std::memory_order_relaxed))
        Count.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

namespace allocation_counter {
void Start() {
    Count = 0;
    Counting = true;
}
long Stop() {
    Counting = false;
    return Count;
}
} // namespace allocation_counter

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer owns malloc and operator new and reports every allocation to this hook; GCC ships no
// header that declares the installer.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                         void (*)(const volatile void*));
namespace {
[[maybe_unused]] const int Installed = __sanitizer_install_malloc_and_free_hooks(
    [](const volatile void*, std::size_t) { Note(); }, [](const volatile void*) {});
} // namespace
#else
// The executable exports it, so the loaded module's allocations come here too. The library's other
// forms of new go through this one, and its delete frees with free.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    Note();
    if (void* pointer = std::malloc(size == 0 ? 1 : size))
        return pointer;
    throw std::bad_alloc();
}
#endif
