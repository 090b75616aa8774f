#pragma once
// Loading a module (a shared object or a DLL) at run time and finding its functions.

#include <string>

#ifdef _WIN32
#define VELTRA_LOADER_API // a static library there
// What a module marks its entry points with, so that they are exported.
#define VELTRA_MODULE_EXPORT __declspec(dllexport)
#else
#define VELTRA_LOADER_API __attribute__((visibility("default")))
#define VELTRA_MODULE_EXPORT __attribute__((visibility("default")))
#endif

namespace veltra::platform {

using ModuleFunction = void (*)();

// The module at path, or null with the system's reason in why.
VELTRA_LOADER_API void* LoadModule(const std::string& path, std::string& why);
// The exported function of that name, or null.
VELTRA_LOADER_API ModuleFunction FindModuleFunction(void* module, const char* name);
VELTRA_LOADER_API void UnloadModule(void* module);
// The file a module called baseName has on this system: "libX.so" or "X.dll".
VELTRA_LOADER_API std::string ModuleFileName(const std::string& baseName);

} // namespace veltra::platform
