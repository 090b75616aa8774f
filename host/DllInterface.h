#pragma once

#include "platform/ModuleLoader.h"

#include <cstdint>

class Kernel;

// Root of the object that the host sees. The host fills in kernel after CreateDllInterface.
class DllInterface {
public:
    Kernel* kernel = nullptr;
    std::uint32_t HostData = 0; // the host's own; the module never touches it

    virtual ~DllInterface() = default;
};

// The two entry points, exported under these plain names.
#define VELTRA_EXPORT extern "C" VELTRA_MODULE_EXPORT
