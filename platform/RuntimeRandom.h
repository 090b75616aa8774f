#pragma once
// The C runtime's pseudo-random rule, reproduced exactly so that a seed always gives the same
// terrain on every platform: state = state * 214013 + 2531011, draw = (state >> 16) & 0x7FFF.
// The state is process-wide, like the runtime's.

#include "platform/Platform.h"

namespace veltra::platform {

inline constexpr int RuntimeRandMax = 0x7FFF;

VELTRA_PLATFORM_API void RuntimeSrand(unsigned int seed);
VELTRA_PLATFORM_API int RuntimeRand();

} // namespace veltra::platform
