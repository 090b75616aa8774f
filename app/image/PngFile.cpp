#include "app/image/PngFile.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstring>
#include <vector>

namespace png {

bool Write(const std::filesystem::path& path, const Image& image) {
    if (image.Empty())
        return false;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.Width) *
                                  static_cast<std::size_t>(image.Height) * 3);
    for (std::size_t pixel = 0, count = rgb.size() / 3; pixel < count; ++pixel)
        std::memcpy(&rgb[pixel * 3], &image.Rgba[pixel * 4], 3);
    stbi_write_png_compression_level = 9; // frames go into documents; size matters more than time
    return stbi_write_png(path.string().c_str(), image.Width, image.Height, 3, rgb.data(), image.Width * 3) !=
           0;
}

std::optional<Image> Read(const std::filesystem::path& path) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.string().c_str(), &width, &height, &channels, 4);
    if (pixels == nullptr)
        return std::nullopt;
    Image image(width, height);
    std::memcpy(image.Rgba.data(), pixels, image.Rgba.size());
    stbi_image_free(pixels);
    return image;
}

} // namespace png
