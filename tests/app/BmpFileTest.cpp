// Bitmap files: every layout the texture loader accepts reads as written, and broken files are
// refused with a reason instead of being read past their end.

#include "app/image/BmpFile.h"
#include "assets/GridPicture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

TEST(BmpFileTest, EveryLayoutReadsAsWrittenAndBrokenFilesAreRefusedWithAReason) {
    // Widths 1, 2, 3 and 5 give 24-bit rows that need 1, 2, 3 and 1 padding bytes.
    for (int width : {1, 2, 3, 5, 50})
        for (int bits : {24, 32})
            for (bool topDown : {false, true}) {
                Image picture(width, 3);
                for (std::size_t i = 0; i < picture.Rgba.size(); ++i)
                    picture.Rgba[i] = i % 4 == 3 ? 255 : static_cast<std::uint8_t>(i * 37);
                picture.Pixel(0, 0)[3] = 0; // a plain 32-bit file is opaque all the same
                const std::vector<std::uint8_t> file = bmp::Encode(picture, bits, topDown);
                const std::optional<Image> read = bmp::Decode(file, nullptr);
                picture.Pixel(0, 0)[3] = 255;
                EXPECT_TRUE(read && std::tuple(read->Width, read->Height, read->Rgba, file[28]) ==
                                        std::tuple(width, 3, picture.Rgba, bits))
                    << width << " " << bits << " " << topDown;
            }

    // Bit fields after a large header: red in the lowest byte, no blue, alpha from its mask.
    std::vector<std::uint8_t> bytes(14 + 124 + 4, 0);
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int size = 4) { // little-endian
        for (int i = 0; i < size; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    // clang-format off
    const std::pair<std::size_t, std::uint32_t> fields[] = {{0, 'B' | 'M' << 8}, {10, 14 + 124}, {14, 124},
        {18, 1}, {22, 1}, {26, 1}, {28, 32}, {30, 3}, {54, 0xFF}, {58, 0xFF00}, {62, 0},
        {66, 0xFF000000}, {138, 0x80332211}};
    // clang-format on
    for (auto [at, value] : fields)
        put(at, value);
    EXPECT_EQ(bmp::Decode(bytes, nullptr).value_or(Image()).Rgba,
              (std::vector<std::uint8_t>{0x11, 0x22, 0, 0x80}));
    put(54, 0x1F0);
    EXPECT_FALSE(bmp::Decode(bytes, nullptr)) << "a mask that is not a whole byte";

    const std::vector<std::uint8_t> good = bmp::Encode(Image(4, 4), 24, false);
    // Each case: where, what, how many bytes. Magic, 8-bit pixels, no planes, run-length compression;
    // width 0, negative, huge, overflowing a row; height 0, most negative; pixels past the end or in
    // the header; a header too short or longer than the file; bit fields for 24-bit pixels.
    // clang-format off
    const std::tuple<std::size_t, std::uint32_t, int> cases[] = {{0, 'X', 2}, {28, 8, 2}, {26, 0, 2},
        {30, 1, 4}, {18, 0, 4}, {18, 0xFFFFFFFC, 4}, {18, 1u << 20, 4}, {18, 0x7FFFFFFF, 4}, {22, 0, 4},
        {22, 0x80000000, 4}, {10, 1000, 4}, {10, 20, 4}, {14, 12, 4}, {14, 100000, 4}, {30, 3, 4}};
    // clang-format on
    for (const auto& [at, value, size] : cases) {
        bytes = good;
        put(at, value, size);
        std::string error;
        EXPECT_TRUE(!bmp::Decode(bytes, &error) && !error.empty()) << at << " " << value;
    }
    EXPECT_TRUE(bmp::Decode(bmp::Encode(Image(bmp::MaxSide, 1), 24, true), nullptr) &&
                bmp::Decode(bmp::Encode(Image(1, bmp::MaxSide), 24, true), nullptr)); // the largest sides
    for (std::size_t length = 0; length < good.size(); length += 7)
        EXPECT_FALSE(bmp::Decode(std::span(good).first(length), nullptr)) << length;
}

// The grid texture kept in assets/ for reading without a build is, byte for byte, what its generator writes.
TEST(BmpFileTest, TheKeptGridTextureIsWhatItsGeneratorWrites) {
    std::ifstream kept(VELTRA_SOURCE_DIR "/assets/grid.bmp", std::ios::binary);
    EXPECT_TRUE(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(kept), {}) ==
                bmp::Encode(MakeGridPicture(), 24, false));
}
