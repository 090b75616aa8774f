#pragma once
// Measures of a rendered frame that hold whatever terrain the random hills made.

#include "app/image/Image.h"

struct Region {
    int X0, Y0, X1, Y1; // half-open
};

namespace frame_stats {

inline constexpr std::uint32_t ClearColour = 0xBBCCDDEE; // what the engine clears each frame with

// Share of the region's pixels within 2 levels of the clear colour.
double ClearShare(const Image& image, Region region);
// Mean and standard deviation of the grey level (mean of red, green, blue).
double MeanGrey(const Image& image, Region region);
double GreySpread(const Image& image, Region region);
// Mean absolute grey difference between horizontal neighbours: sharp detail such as grid lines.
double Detail(const Image& image, Region region);
// Mean absolute grey difference between two frames of the same size.
double Difference(const Image& a, const Image& b, Region region);
// The middle half of the frame in each direction.
Region Middle(const Image& image);

} // namespace frame_stats
