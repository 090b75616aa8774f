#pragma once
// What the lighting asks of the system about CPUs and memory, kept apart from the window and message
// calls so that its users see no system types.

#include <cstddef>

#ifdef _WIN32
#define VELTRA_PROCESSORS_API // a static library there
#else
#define VELTRA_PROCESSORS_API __attribute__((visibility("default")))
#endif

namespace veltra::platform {

// The CPUs this process may run on (its affinity mask), at least 1.
VELTRA_PROCESSORS_API int UsableProcessorCount();
// Asks the system to back [memory, memory + bytes) with large pages; only advice, which it may
// ignore. `memory` is aligned to 2 MiB.
VELTRA_PROCESSORS_API void AdviseLargePages(void* memory, std::size_t bytes);

} // namespace veltra::platform
