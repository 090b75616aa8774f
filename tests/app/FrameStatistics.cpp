#include "FrameStatistics.h"

#include <cmath>
#include <cstdlib>

namespace frame_stats {
namespace {

double Grey(const Image& image, int x, int y) {
    const std::uint8_t* pixel = image.Pixel(x, y);
    return (pixel[0] + pixel[1] + pixel[2]) / 3.0;
}

template <typename Visit>
double Average(Region region, Visit visit) {
    double sum = 0.0;
    long count = 0;
    for (int y = region.Y0; y < region.Y1; ++y)
        for (int x = region.X0; x < region.X1; ++x, ++count)
            sum += visit(x, y);
    return count == 0 ? 0.0 : sum / static_cast<double>(count);
}

} // namespace

double ClearShare(const Image& image, Region region) {
    const int red = (ClearColour >> 16) & 0xFF, green = (ClearColour >> 8) & 0xFF, blue = ClearColour & 0xFF;
    return Average(region, [&](int x, int y) {
        const std::uint8_t* pixel = image.Pixel(x, y);
        return std::abs(pixel[0] - red) <= 2 && std::abs(pixel[1] - green) <= 2 &&
                       std::abs(pixel[2] - blue) <= 2
                   ? 1.0
                   : 0.0;
    });
}

double MeanGrey(const Image& image, Region region) {
    return Average(region, [&](int x, int y) { return Grey(image, x, y); });
}

double GreySpread(const Image& image, Region region) {
    const double mean = MeanGrey(image, region);
    return std::sqrt(Average(region, [&](int x, int y) {
        const double d = Grey(image, x, y) - mean;
        return d * d;
    }));
}

double Detail(const Image& image, Region region) {
    region.X1 -= 1;
    return Average(region, [&](int x, int y) { return std::abs(Grey(image, x + 1, y) - Grey(image, x, y)); });
}

double Difference(const Image& a, const Image& b, Region region) {
    return Average(region, [&](int x, int y) { return std::abs(Grey(a, x, y) - Grey(b, x, y)); });
}

Region Middle(const Image& image) {
    return Region{image.Width / 4, image.Height / 4, image.Width * 3 / 4, image.Height * 3 / 4};
}

} // namespace frame_stats
