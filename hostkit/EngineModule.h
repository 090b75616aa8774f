#pragma once

#include "host/DllInterface.h"

#include <string>

// The engine module, loaded through the platform and unloaded when this object goes.
class EngineModule {
public:
    EngineModule() = default;
    EngineModule(const EngineModule&) = delete;
    EngineModule& operator=(const EngineModule&) = delete;
    ~EngineModule();

    // Loads the module file; on failure Error() tells why.
    bool Load(const std::string& path);
    bool CreateInterface(DllInterface** slot) const;
    void DestroyInterface(DllInterface** slot) const;
    const std::string& Error() const { return LastError; }

    // The engine module's file ("libveltra_engine.so", "veltra_engine.dll") beside the running executable.
    static std::string DefaultPath();

private:
    void* Handle = nullptr;
    bool (*Create)(DllInterface**) = nullptr;
    void (*Destroy)(DllInterface**) = nullptr;
    std::string LastError;
};
