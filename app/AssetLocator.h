#pragma once
// Finds the files the engine asks for by relative name: in the working directory first, then in
// the given folders (by default the assets folder beside the executable).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class AssetLocator {
public:
    explicit AssetLocator(std::vector<std::filesystem::path> folders = {});
    // The working directory, then <folder of the executable>/assets.
    static AssetLocator Default();

    std::optional<std::filesystem::path> Find(const std::string& name) const;
    // "the working directory and /x/assets", for messages.
    std::string Describe() const;

private:
    std::vector<std::filesystem::path> Folders;
};
