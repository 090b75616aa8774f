// Arbitrary bytes as a texture file for the host's bitmap reader. A picture it accepts must be
// whole (every pixel there) and its colours must come back unchanged through the writer and the
// reader again, in both row orders and both depths.

#include "app/image/BmpFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const Image& picture, int bitsPerPixel, bool topDown) {
    std::string error;
    const std::optional<Image> again = bmp::Decode(bmp::Encode(picture, bitsPerPixel, topDown), &error);
    Require(again.has_value());
    Require(again->Width == picture.Width && again->Height == picture.Height);
    for (std::size_t i = 0; i < picture.Rgba.size(); ++i) {
        // The writer stores no alpha mask, and pixels without one read back opaque.
        const std::uint8_t expected = i % 4 == 3 ? 0xFF : picture.Rgba[i];
        Require(again->Rgba[i] == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const std::optional<Image> picture = bmp::Decode(std::span<const std::uint8_t>(data, size), &error);
    if (!picture) {
        Require(!error.empty());
        return 0;
    }
    Require(picture->Width > 0 && picture->Height > 0);
    Require(picture->Width <= bmp::MaxSide && picture->Height <= bmp::MaxSide);
    Require(picture->Rgba.size() == static_cast<std::size_t>(picture->Width) * picture->Height * 4);
    // The picture cannot hold more pixels than the file has bytes for.
    Require(static_cast<std::size_t>(picture->Width) * picture->Height * 3 <= size);
    CheckRoundTrip(*picture, 32, false);
    CheckRoundTrip(*picture, 24, true);
    return 0;
}
