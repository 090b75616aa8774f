#pragma once
// Reads and writes Windows bitmap files: uncompressed 24-bit and 32-bit pictures, stored bottom-up
// (positive height) or top-down (negative height). Anything else, and any file whose header
// disagrees with its size, is refused with a reason rather than read past its end.

#include "app/image/Image.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bmp {

inline constexpr int MaxSide = 16384;                      // larger pictures are refused
inline constexpr std::uintmax_t MaxFileBytes = 256u << 20; // so is a file larger than this

// The picture, or nothing with the reason in *error.
std::optional<Image> Decode(std::span<const std::uint8_t> bytes, std::string* error);
std::optional<Image> Read(const std::filesystem::path& path, std::string* error);

// bitsPerPixel 24 or 32 (alpha kept); bottom-up unless topDown.
std::vector<std::uint8_t> Encode(const Image& image, int bitsPerPixel, bool topDown);
bool Write(const std::filesystem::path& path, const Image& image, int bitsPerPixel, bool topDown);

} // namespace bmp
