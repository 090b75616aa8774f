#include "platform/RuntimeRandom.h"

#include <atomic>

namespace veltra::platform {
namespace {
std::atomic<std::uint32_t> RandomState{1}; // the runtime starts as if seeded with 1
}

void RuntimeSrand(unsigned int seed) {
    RandomState.store(seed);
}

int RuntimeRand() {
    std::uint32_t state = RandomState.load() * 214013u + 2531011u;
    RandomState.store(state);
    return static_cast<int>((state >> 16) & 0x7FFF);
}

} // namespace veltra::platform
