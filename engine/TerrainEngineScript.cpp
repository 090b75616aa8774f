#include "engine/TerrainEngine.h"

#include "heightmap/HeightmapFile.h"
#include "heightmap/HeightmapGenerator.h"
#include "host/Kernel.h"
#include "script/ScriptBindings.h"
#include "script/ScriptVM.h"

// The configuration script may size the grid, choose the hills and arrange the window before
// anything is generated. The state stays open after Init: scripts may still hold objects in it.
void TerrainEngine::RunConfigurationScript(Log& log) {
    // A second Init runs the script afresh; the last run's state would otherwise stay until unload.
    if (VM != nullptr)
        ScriptVM::Close(VM);
    VM = ScriptVM::Open();
    if (VM == nullptr) {
        log.Write("-> Open VM : KO");
        return;
    }
    log.Write("-> Open VM : OK");
    ScriptVM::OpenBaseLibrary(VM);
    log.Write("-> Binding stuff to VM...");
    BindWindowClass(VM, kernel->GetWindow());
    BindHeightmapGeneratorClass(VM, GeneratorInstance);
    BindHeightmapFileClass(VM, HeightmapFileInstance);
    // Optional; a script that fails has told standard error why, and what it set stays set. The
    // log keeps the reason too: a run's log is where a user looks afterwards.
    if (!ScriptVM::RunFile(VM, "HeightmapGeneration.lua") && !ScriptVM::LastFailure(VM).empty())
        log.Write("-> Script failed: %s", ScriptVM::LastFailure(VM).c_str());
}
