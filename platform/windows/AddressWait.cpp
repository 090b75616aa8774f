#include "platform/AddressWait.h"
#include "platform/Platform.h"

#include <synchapi.h>

namespace veltra::platform {

void WaitWhileEqual(const void* value, std::uint32_t old) {
    WaitOnAddress(const_cast<void*>(value), &old, sizeof old, INFINITE);
}

void WakeOneWaiter(const void* value) {
    WakeByAddressSingle(const_cast<void*>(value));
}

void WakeAllWaiters(const void* value) {
    WakeByAddressAll(const_cast<void*>(value));
}

} // namespace veltra::platform
