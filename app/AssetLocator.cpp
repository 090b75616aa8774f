#include "app/AssetLocator.h"

#include "platform/Platform.h"

AssetLocator::AssetLocator(std::vector<std::filesystem::path> folders) : Folders(std::move(folders)) {}

AssetLocator AssetLocator::Default() {
    char path[4096] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return AssetLocator({std::filesystem::path(path).parent_path() / "assets"});
}

std::optional<std::filesystem::path> AssetLocator::Find(const std::string& name) const {
    std::error_code error;
    const std::filesystem::path wanted(name);
    if (std::filesystem::is_regular_file(wanted, error))
        return wanted;
    if (wanted.is_absolute())
        return std::nullopt;
    for (const std::filesystem::path& folder : Folders) {
        std::filesystem::path candidate = folder / wanted;
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

std::string AssetLocator::Describe() const {
    std::string text = "the working directory";
    for (std::size_t i = 0; i < Folders.size(); ++i)
        text += (i + 1 == Folders.size() ? " and " : ", ") + Folders[i].string();
    return text;
}
