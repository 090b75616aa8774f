#include "engine/TerrainEngine.h"

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
}
