#include "app/image/BmpFile.h"

#include <bit>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace bmp {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionBitFields = 3;

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// One 8-bit channel of a 32-bit pixel, described by its mask.
struct Channel {
    int Shift = 0;
    bool Present = false;
};

bool ChannelFromMask(std::uint32_t mask, Channel* channel) {
    if (mask == 0)
        return true; // channel absent
    int shift = std::countr_zero(mask);
    if ((mask >> shift) != 0xFF)
        return false; // only whole, aligned bytes are read
    *channel = Channel{shift, true};
    return true;
}

std::optional<Image> Fail(std::string* error, const std::string& reason) {
    if (error != nullptr)
        *error = reason;
    return std::nullopt;
}

} // namespace

std::optional<Image> Decode(std::span<const std::uint8_t> bytes, std::string* error) {
    if (bytes.size() < FileHeaderSize + InfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return Fail(error, "not a bitmap file");
    const std::uint32_t pixelOffset = ReadU32(bytes, 10);
    const std::uint32_t headerSize = ReadU32(bytes, 14);
    if (headerSize < InfoHeaderSize || FileHeaderSize + headerSize > bytes.size())
        return Fail(error, "unsupported bitmap header");
    const auto width = static_cast<std::int32_t>(ReadU32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(ReadU32(bytes, 22));
    const std::uint16_t planes = ReadU16(bytes, 26);
    const std::uint16_t bitsPerPixel = ReadU16(bytes, 28);
    const std::uint32_t compression = ReadU32(bytes, 30);
    if (planes != 1)
        return Fail(error, "bad plane count");
    if (bitsPerPixel != 24 && bitsPerPixel != 32)
        return Fail(error,
                    "only 24-bit and 32-bit bitmaps are read, not " + std::to_string(bitsPerPixel) + "-bit");
    // INT32_MIN has no positive counterpart, so it is refused along with the other bad sizes.
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > MaxSide ||
        std::abs(rawHeight) > MaxSide)
        return Fail(error, "bad picture size");
    const bool topDown = rawHeight < 0;
    const int height = std::abs(rawHeight);

    Channel red{16, true}, green{8, true}, blue{0, true}, alpha;
    if (compression == CompressionBitFields) {
        // The masks follow a 40-byte header, or sit inside a larger one at the same place.
        const std::size_t masksAt = FileHeaderSize + InfoHeaderSize;
        if (bitsPerPixel != 32 || masksAt + 12 > bytes.size())
            return Fail(error, "bad colour masks");
        const bool hasAlphaMask = headerSize >= 56; // the header check keeps its mask inside the file
        red = green = blue = Channel{};
        bool whole = ChannelFromMask(ReadU32(bytes, masksAt), &red);
        whole = whole && ChannelFromMask(ReadU32(bytes, masksAt + 4), &green);
        whole = whole && ChannelFromMask(ReadU32(bytes, masksAt + 8), &blue);
        whole = whole && (!hasAlphaMask || ChannelFromMask(ReadU32(bytes, masksAt + 12), &alpha));
        if (!whole)
            return Fail(error, "colour masks other than whole bytes");
    } else if (compression != CompressionNone) {
        return Fail(error, "compressed bitmaps are not read");
    }

    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset < FileHeaderSize + InfoHeaderSize ||
        pixelOffset + rowBytes * static_cast<std::uint64_t>(height) > bytes.size())
        return Fail(error, "the file is shorter than its picture");

    Image image(width, height);
    const int bytesPerPixel = bitsPerPixel / 8;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        std::size_t at = pixelOffset + static_cast<std::size_t>(row * rowBytes);
        for (int x = 0; x < width; ++x, at += static_cast<std::size_t>(bytesPerPixel)) {
            std::uint8_t* pixel = image.Pixel(x, y);
            if (bytesPerPixel == 3) {
                pixel[0] = bytes[at + 2];
                pixel[1] = bytes[at + 1];
                pixel[2] = bytes[at];
                pixel[3] = 0xFF;
                continue;
            }
            const std::uint32_t value = ReadU32(bytes, at);
            auto take = [value](const Channel& channel) {
                return static_cast<std::uint8_t>(channel.Present ? value >> channel.Shift : 0);
            };
            pixel[0] = take(red);
            pixel[1] = take(green);
            pixel[2] = take(blue);
            // Plain 32-bit bitmaps usually leave the fourth byte 0; the picture is opaque.
            pixel[3] = alpha.Present ? take(alpha) : 0xFF;
        }
    }
    return image;
}

std::optional<Image> Read(const std::filesystem::path& path, std::string* error) {
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code)
        return Fail(error, "cannot open the file");
    if (size > MaxFileBytes)
        return Fail(error, "file too large");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail(error, "cannot open the file");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return Decode(bytes, error);
}

std::vector<std::uint8_t> Encode(const Image& image, int bitsPerPixel, bool topDown) {
    const int bytesPerPixel = bitsPerPixel == 32 ? 4 : 3;
    const std::uint32_t rowBytes =
        static_cast<std::uint32_t>((image.Width * bytesPerPixel * 8 + 31) / 32 * 4);
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.Height);
    const std::uint32_t pixelOffset = FileHeaderSize + InfoHeaderSize;

    std::vector<std::uint8_t> out;
    out.reserve(pixelOffset + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, pixelOffset + pixelBytes);
    PutU32(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, InfoHeaderSize);
    PutU32(out, static_cast<std::uint32_t>(image.Width));
    PutU32(out, static_cast<std::uint32_t>(topDown ? -image.Height : image.Height));
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint16_t>(bytesPerPixel * 8));
    PutU32(out, CompressionNone);
    PutU32(out, pixelBytes);
    PutU32(out, 2835); // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int row = 0; row < image.Height; ++row) {
        const int y = topDown ? row : image.Height - 1 - row;
        for (int x = 0; x < image.Width; ++x) {
            const std::uint8_t* pixel = image.Pixel(x, y);
            out.push_back(pixel[2]);
            out.push_back(pixel[1]);
            out.push_back(pixel[0]);
            if (bytesPerPixel == 4)
                out.push_back(pixel[3]);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(image.Width * bytesPerPixel); pad < rowBytes;
             ++pad)
            out.push_back(0);
    }
    return out;
}

bool Write(const std::filesystem::path& path, const Image& image, int bitsPerPixel, bool topDown) {
    const std::vector<std::uint8_t> bytes = Encode(image, bitsPerPixel, topDown);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace bmp
