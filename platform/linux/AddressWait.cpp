#include "platform/AddressWait.h"

#include <climits>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace veltra::platform {
namespace {

long Futex(const void* address, int operation, std::uint32_t value) {
    return syscall(SYS_futex, address, operation | FUTEX_PRIVATE_FLAG, value, nullptr, nullptr, 0);
}

} // namespace

void WaitWhileEqual(const void* value, std::uint32_t old) {
    Futex(value, FUTEX_WAIT, old);
}

void WakeOneWaiter(const void* value) {
    Futex(value, FUTEX_WAKE, 1);
}

void WakeAllWaiters(const void* value) {
    Futex(value, FUTEX_WAKE, INT_MAX);
}

} // namespace veltra::platform
