// The DLL's export table, read from the loaded image: exactly the two entry points, under their
// plain names (no decoration, nothing of the C++ runtime), and the functions they name are the
// ones the loader finds.

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (entry.VirtualAddress == 0)
        return names;
    const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    for (DWORD n = 0; n < directory->NumberOfNames; ++n)
        names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[n]));
    // Functions exported by number alone would have no name: count them as well.
    if (directory->NumberOfFunctions != directory->NumberOfNames)
        names.emplace_back("(unnamed exports)");
    return names;
}

TEST(DllExportsTest, ExportsItsTwoEntryPointsOnlyUndecorated) {
    HMODULE module = LoadLibraryA(VELTRA_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(ExportedNames(module), (std::vector<std::string>{"CreateDllInterface", "DestroyDllInterface"}));
    EXPECT_NE(GetProcAddress(module, "CreateDllInterface"), nullptr);
    EXPECT_NE(GetProcAddress(module, "DestroyDllInterface"), nullptr);
    FreeLibrary(module);
}

} // namespace
