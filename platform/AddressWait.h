#pragma once
// Sleeping until a 4-byte value changes, and waking the sleepers: the system's own primitive (a
// futex on Linux, WaitOnAddress on Windows). The C++ runtime's atomic wait is not used because
// MinGW-w64 GCC 12's, built on a condition variable, can lose a wake-up and sleep for ever.

#include <atomic>
#include <cstdint>

#ifdef _WIN32
#define VELTRA_WAIT_API // a static library there
#else
#define VELTRA_WAIT_API __attribute__((visibility("default")))
#endif

namespace veltra::platform {

// Sleeps while the 4 bytes at `value` equal `old`; may also return without a change.
VELTRA_WAIT_API void WaitWhileEqual(const void* value, std::uint32_t old);
VELTRA_WAIT_API void WakeOneWaiter(const void* value);
VELTRA_WAIT_API void WakeAllWaiters(const void* value);

// The same on an atomic 4-byte integer.
template <typename T>
void WaitWhileEqual(const std::atomic<T>& value, T old) {
    static_assert(sizeof(T) == 4 && std::atomic<T>::is_always_lock_free);
    WaitWhileEqual(static_cast<const void*>(&value), static_cast<std::uint32_t>(old));
}

} // namespace veltra::platform
