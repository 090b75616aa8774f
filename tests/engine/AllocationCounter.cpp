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

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer owns malloc and operator new; it reports every allocation to this hook.
// The runtime has the hook installer; GCC ships no header that declares it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*allocate)(const volatile void*, std::size_t),
                                                         void (*free)(const volatile void*));

namespace {
void OnAllocate(const volatile void* /*pointer*/, std::size_t /*size*/) {
    Note();
}
void OnFree(const volatile void* /*pointer*/) {}
[[maybe_unused]] const int Installed = __sanitizer_install_malloc_and_free_hooks(OnAllocate, OnFree);
} // namespace
#else
// The executable exports these, so the loaded module's allocations come here too.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    Note();
    if (void* pointer = std::malloc(size == 0 ? 1 : size))
        return pointer;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    Note();
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* pointer) noexcept {
    std::free(pointer);
}
void operator delete[](void* pointer) noexcept {
    std::free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    std::free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    std::free(pointer);
}
#endif
