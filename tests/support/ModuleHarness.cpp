#include "support/ModuleHarness.h"

#include <fstream>
#include <random>

ModuleHarness::ModuleHarness()
    : Folder(std::filesystem::temp_directory_path() /
             ("veltra-test-" + std::to_string(std::random_device()()))),
      LogPath(Folder / "test.log"), PreviousFolder(std::filesystem::current_path()) {
    std::filesystem::create_directories(Folder);
    std::filesystem::current_path(Folder);
    TheKernel.GetLog().Open(LogPath.string(), false, 0);
    TheKernel.GetWindow().CreateHandle();
}

ModuleHarness::~ModuleHarness() {
    Destroy();
    DeleteKernel();
    // Drop any message a test left behind, so the next test starts with an empty queue.
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
    }
    std::filesystem::current_path(PreviousFolder);
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

bool ModuleHarness::Create() {
    if (!Module.Load(VELTRA_MODULE_PATH) || !Module.CreateInterface(&Dll))
        return false;
    Dll->kernel = &TheKernel;
    return true;
}

void ModuleHarness::DeleteKernel() {
    if (OwnedKernel != nullptr && OwnedKernel->GetWindow().Handle != nullptr)
        DestroyWindow(OwnedKernel->GetWindow().Handle);
    OwnedKernel.reset();
}

void ModuleHarness::WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(Folder / name) << text;
}

std::vector<std::string> ModuleHarness::LogLines() const {
    std::vector<std::string> lines;
    std::ifstream file(LogPath);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}
