// Bitmap files: every layout the texture loader accepts reads back as written, and broken files
// are refused with a reason instead of being read past their end.

#include "app/image/BmpFile.h"

#include <gtest/gtest.h>

namespace {

Image Gradient(int width, int height) {
    Image picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = picture.Pixel(x, y);
            pixel[0] = static_cast<std::uint8_t>(x * 37 + y);
            pixel[1] = static_cast<std::uint8_t>(y * 53);
            pixel[2] = static_cast<std::uint8_t>(x ^ y);
            pixel[3] = 0xFF;
        }
    return picture;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::optional<Image> Decode(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr) {
    return bmp::Decode(bytes, error);
}

} // namespace

TEST(BmpFileTest, EveryLayoutReadsBackAsWrittenIncludingRowPadding) {
    // Widths 1, 2, 3 and 5 give 24-bit rows that need 1, 2, 3 and 1 padding bytes.
    for (int width : {1, 2, 3, 5, 16})
        for (int bits : {24, 32})
            for (bool topDown : {false, true}) {
                const Image picture = Gradient(width, 3);
                const std::optional<Image> read = Decode(bmp::Encode(picture, bits, topDown));
                ASSERT_TRUE(read) << width << " " << bits << " " << topDown;
                EXPECT_EQ(read->Width, width);
                EXPECT_EQ(read->Height, 3);
                EXPECT_EQ(read->Rgba, picture.Rgba) << width << " " << bits << " " << topDown;
            }
}

TEST(BmpFileTest, ThirtyTwoBitPixelsAreOpaqueUnlessAMaskSaysOtherwise) {
    Image picture = Gradient(2, 2);
    picture.Pixel(0, 0)[3] = 0; // plain 32-bit files usually leave the fourth byte 0
    std::optional<Image> read = Decode(bmp::Encode(picture, 32, false));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Pixel(0, 0)[3], 0xFF);

    // Bit fields with a V5-style header: channels in another order, alpha from its mask.
    std::vector<std::uint8_t> bytes(14 + 124 + 4, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 10, 14 + 124);
    PutU32(bytes, 14, 124);
    PutU32(bytes, 18, 1);
    PutU32(bytes, 22, 1);
    bytes[26] = 1;
    bytes[28] = 32;
    PutU32(bytes, 30, 3);
    PutU32(bytes, 54, 0x000000FF); // red in the lowest byte
    PutU32(bytes, 58, 0x0000FF00);
    PutU32(bytes, 62, 0x00FF0000);
    PutU32(bytes, 66, 0xFF000000);
    PutU32(bytes, 14 + 124, 0x80332211);
    read = Decode(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Pixel(0, 0)[0], 0x11);
    EXPECT_EQ(read->Pixel(0, 0)[1], 0x22);
    EXPECT_EQ(read->Pixel(0, 0)[2], 0x33);
    EXPECT_EQ(read->Pixel(0, 0)[3], 0x80);

    PutU32(bytes, 54, 0x000001F0); // a mask that is not a whole byte
    std::string error;
    EXPECT_FALSE(Decode(bytes, &error));
    EXPECT_NE(error.find("mask"), std::string::npos);
}

TEST(BmpFileTest, BrokenHeadersAreRefusedWithAReason) {
    const std::vector<std::uint8_t> good = bmp::Encode(Gradient(4, 4), 24, false);
    struct Case {
        const char* What;
        std::size_t At;
        std::uint32_t Value;
        bool Word; // a 16-bit field
    };
    const Case cases[] = {
        {"magic", 0, 'X', true},
        {"8-bit pixels", 28, 8, true},
        {"no planes", 26, 0, true},
        {"run-length compression", 30, 1, false},
        {"zero width", 18, 0, false},
        {"negative width", 18, 0xFFFFFFFC, false},
        {"zero height", 22, 0, false},
        {"most negative height", 22, 0x80000000, false},
        {"huge width", 18, 1u << 20, false},
        {"pixels beyond the end", 10, 1000, false},
        {"pixels inside the header", 10, 20, false},
        {"short header", 14, 12, false},
        {"header longer than the file", 14, 100000, false},
        {"width that overflows a row", 18, 0x7FFFFFFF, false},
    };
    for (const Case& broken : cases) {
        std::vector<std::uint8_t> bytes = good;
        if (broken.Word) {
            bytes[broken.At] = static_cast<std::uint8_t>(broken.Value);
            bytes[broken.At + 1] = static_cast<std::uint8_t>(broken.Value >> 8);
        } else {
            PutU32(bytes, broken.At, broken.Value);
        }
        std::string error;
        EXPECT_FALSE(Decode(bytes, &error)) << broken.What;
        EXPECT_FALSE(error.empty()) << broken.What;
    }
    // Every truncation of a good file is refused.
    for (std::size_t length = 0; length < good.size(); length += 7)
        EXPECT_FALSE(
            Decode(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(length))))
            << length;
}
