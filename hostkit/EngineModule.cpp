#include "hostkit/EngineModule.h"

#include "host/Host.h"

#include "platform/ModuleLoader.h"

#include <filesystem>

EngineModule::~EngineModule() {
    if (Handle != nullptr)
        veltra::platform::UnloadModule(Handle);
}

bool EngineModule::Load(const std::string& path) {
    Handle = veltra::platform::LoadModule(path, LastError);
    if (Handle == nullptr)
        return false;
    Create = reinterpret_cast<CreateDllInterfaceFunction>(
        veltra::platform::FindModuleFunction(Handle, CreateDllInterfaceName));
    Destroy = reinterpret_cast<DestroyDllInterfaceFunction>(
        veltra::platform::FindModuleFunction(Handle, DestroyDllInterfaceName));
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
    return (std::filesystem::path(path).parent_path() / veltra::platform::ModuleFileName("veltra_engine"))
        .string();
}
