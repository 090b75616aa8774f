#include "assets/GridPicture.h"

namespace {

constexpr int Side = 256;
constexpr int MinorStep = 16; // fine lines
constexpr int MajorStep = 64; // bold lines, two pixels wide

void Paint(std::uint8_t* pixel, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    pixel[0] = red;
    pixel[1] = green;
    pixel[2] = blue;
    pixel[3] = 0xFF;
}

bool OnLine(int at, int step, int width) {
    return at % step < width;
}

} // namespace

Image MakeGridPicture() {
    Image picture(Side, Side);
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            std::uint8_t* pixel = picture.Pixel(x, y);
            if (OnLine(x, MajorStep, 2) || OnLine(y, MajorStep, 2))
                Paint(pixel, 72, 84, 64);
            else if (OnLine(x, MinorStep, 1) || OnLine(y, MinorStep, 1))
                Paint(pixel, 150, 166, 126);
            else
                Paint(pixel, 214, 226, 186);
        }
    }
    return picture;
}
