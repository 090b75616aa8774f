#include "platform/ModuleLoader.h"
#include "platform/Platform.h"

namespace veltra::platform {

void* LoadModule(const std::string& path, std::string& why) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        char message[512] = {};
        const DWORD error = GetLastError();
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, message,
                       sizeof message, nullptr);
        why = message[0] != '\0' ? message : "error " + std::to_string(error);
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r'))
            why.pop_back();
    }
    return module;
}

ModuleFunction FindModuleFunction(void* module, const char* name) {
    return reinterpret_cast<ModuleFunction>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

std::string ModuleFileName(const std::string& baseName) {
    return baseName + ".dll";
}

} // namespace veltra::platform
