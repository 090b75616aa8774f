// Arbitrary bytes as a texture file for the host's bitmap reader. A picture it accepts must be
// whole (every pixel there, no more than the file has bytes for) and its colours must come back
// unchanged through the writer and the reader again, in both row orders and both depths.

#include "app/image/BmpFile.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const std::optional<Image> picture = bmp::Decode(std::span<const std::uint8_t>(data, size), &error);
    if (!picture)
        return error.empty() ? (std::abort(), 0) : 0;
    const std::size_t pixels = static_cast<std::size_t>(picture->Width) * picture->Height;
    if (picture->Width <= 0 || picture->Height <= 0 || picture->Width > bmp::MaxSide ||
        picture->Height > bmp::MaxSide || picture->Rgba.size() != pixels * 4 || pixels * 3 > size)
        std::abort();
    for (const auto& [bitsPerPixel, topDown] : {std::pair{32, false}, std::pair{24, true}}) {
        const std::optional<Image> again = bmp::Decode(bmp::Encode(*picture, bitsPerPixel, topDown), &error);
        if (!again || again->Width != picture->Width || again->Height != picture->Height)
            std::abort();
        // The writer stores no alpha mask, and pixels without one read back opaque.
        for (std::size_t i = 0; i < picture->Rgba.size(); ++i)
            if (again->Rgba[i] != (i % 4 == 3 ? 0xFF : picture->Rgba[i]))
                std::abort();
    }
    return 0;
}
