#pragma once
// Whether a file can be written, found out without writing anything and without waiting.

#include <string>

#ifdef _WIN32
#define VELTRA_PROBE_API // a static library there
#else
#define VELTRA_PROBE_API __attribute__((visibility("default")))
#endif

namespace veltra::platform {

// Opens path for appending (making it when it is missing), writes nothing, closes it. 0 on success,
// otherwise the errno value. Never blocks: a pipe that no one reads refuses at once.
VELTRA_PROBE_API int ProbeWritable(const std::string& path);

} // namespace veltra::platform
