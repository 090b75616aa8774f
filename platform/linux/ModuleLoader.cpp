#include "platform/ModuleLoader.h"

#include <dlfcn.h>

namespace veltra::platform {

void* LoadModule(const std::string& path, std::string& why) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        why = dlerror();
    return module;
}

ModuleFunction FindModuleFunction(void* module, const char* name) {
    return reinterpret_cast<ModuleFunction>(dlsym(module, name));
}

void UnloadModule(void* module) {
    dlclose(module);
}

std::string ModuleFileName(const std::string& baseName) {
    return "lib" + baseName + ".so";
}

} // namespace veltra::platform
