#include "engine/TerrainEngine.h"
#include "lighting/TerrainLighting.h"

#include <new>

VELTRA_EXPORT bool CreateDllInterface(DllInterface** slot) {
    if (slot == nullptr)
        return false;
    *slot = new (std::nothrow) TerrainEngine();
    return *slot != nullptr;
}

VELTRA_EXPORT void DestroyDllInterface(DllInterface** slot) {
    if (slot == nullptr)
        return;
    delete *slot;
    *slot = nullptr;
    // The lighting's threads end now, while they can: a host may unload the module next.
    TerrainLighting::Module().StopThreads();
}
