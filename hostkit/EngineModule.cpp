#include "hostkit/EngineModule.h"

#include "host/Host.h"

#include <dlfcn.h>
#include <filesystem>

EngineModule::~EngineModule() {
    if (Handle != nullptr)
        dlclose(Handle);
}

bool EngineModule::Load(const std::string& path) {
    Handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (Handle == nullptr) {
        LastError = dlerror();
        return false;
    }
    Create = reinterpret_cast<CreateDllInterfaceFunction>(dlsym(Handle, CreateDllInterfaceName));
    Destroy = reinterpret_cast<DestroyDllInterfaceFunction>(dlsym(Handle, DestroyDllInterfaceName));
    if (Create == nullptr || Destroy == nullptr) {
        LastError = path + " does not export " + CreateDllInterfaceName + " and " + DestroyDllInterfaceName;
        return false;
    }
    return true;
}

bool EngineModule::CreateInterface(DllInterface** slot) const {
    return Create != nullptr && Create(slot);
}

void EngineModule::DestroyInterface(DllInterface** slot) const {
    if (Destroy != nullptr)
        Destroy(slot);
}

std::string EngineModule::DefaultPath() {
    char path[1024] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return (std::filesystem::path(path).parent_path() / "libveltra_engine.so").string();
}
