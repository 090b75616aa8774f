#pragma once
// Loads the built engine module with dlopen and drives it through its two exported functions, as
// a host does. Each harness loads the module afresh, so module-level state starts from load.
// It runs in its own scratch folder (the module reads files by relative name there).

#include "host/EngineInterface.h"
#include "host/Kernel.h"
#include "hostkit/EngineModule.h"
#include "support/RecordingRenderer.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class ModuleHarness {
public:
    ModuleHarness();
    ~ModuleHarness();

    // Loads the module, creates the engine and hands it the kernel; false on failure.
    bool Create();
    bool Init() { return Engine()->Init(&Device); }
    bool Frame() { return Engine()->Frame(0, &Device); }
    void Release() { Engine()->Release(); }
    void Destroy() { Module.DestroyInterface(&Dll); }
    void WriteFile(const std::string& name, const std::string& text) const;
    std::vector<std::string> LogLines() const;
    // Posts a message to the kernel's window and pumps it through, with any the system queued
    // before it (a real window gets some of its own).
    void Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        PostMessageA(TheKernel.GetWindow().Handle, message, wParam, lParam);
        for (MSG waiting; PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE);)
            TheKernel.GetWindow().PumpMessages();
    }
    EngineInterface* Engine() const { return static_cast<EngineInterface*>(Dll); }
    // The kernel need only outlive Release: a test may delete it then, and must not use TheKernel after.
    void DeleteKernel();

    std::filesystem::path Folder, LogPath, PreviousFolder;
    std::unique_ptr<Kernel> OwnedKernel = std::make_unique<Kernel>();
    Kernel& TheKernel = *OwnedKernel;
    RecordingRenderer Device;
    EngineModule Module;
    DllInterface* Dll = nullptr;
};
