#pragma once

#include "app/image/Image.h"

#include <filesystem>
#include <optional>

namespace png {

// Writes the picture without its alpha channel (frames are opaque); false when the file cannot be
// written.
bool Write(const std::filesystem::path& path, const Image& image);
std::optional<Image> Read(const std::filesystem::path& path);

} // namespace png
