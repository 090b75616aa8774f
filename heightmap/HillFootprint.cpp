#include "heightmap/HillFootprint.h"

#include <algorithm>
#include <cmath>

namespace {
// Float rounding in the hill's test can make a cell look nearer than it is by a few parts in 10⁷;
// the relative margin covers that, the absolute one the rounding of the bounds computed here.
double ReachOf(double radius) {
    return std::fabs(radius) * (1.0 + 1e-6) + 1e-3;
}

// Integers first..last of [low, high] that lie in 0..count-1; low and high may be infinite.
void ClampRange(double low, double high, std::int32_t count, std::int32_t& first, std::int32_t& last) {
    const double firstValue = std::max(0.0, std::ceil(low));
    const double lastValue = std::min(static_cast<double>(count) - 1.0, std::floor(high));
    if (!(firstValue <= lastValue)) {
        first = 0;
        last = -1;
        return;
    }
    first = static_cast<std::int32_t>(firstValue);
    last = static_cast<std::int32_t>(lastValue);
}

// Above this size a column or row number is no longer exact as a float, and the margin argument
// above no longer holds: such grids are visited whole.
constexpr std::int32_t ExactFloatIntegers = 1 << 24;
} // namespace

HillFootprint::HillFootprint(std::int32_t width, std::int32_t height, float centreX, float centreY,
                             float radius)
    : CentreX(centreX), CentreY(centreY), Reach(ReachOf(radius)), Width(width) {
    // No cell changes when r² is 0 or NaN, or when a centre is NaN or infinite (d² is then
    // infinite or NaN for every cell).
    if (!(radius * radius > 0.0f) || !std::isfinite(centreX) || !std::isfinite(centreY))
        return;
    if (width > ExactFloatIntegers || height > ExactFloatIntegers) {
        Reach = INFINITY;
        CentreX = 0.0;
        CentreY = 0.0;
    }
    ClampRange(CentreY - Reach, CentreY + Reach, height, FirstRow, LastRow);
}

ColumnSpan HillFootprint::Columns(std::int32_t row) const {
    ColumnSpan span;
    const double dy = static_cast<double>(row) - CentreY;
    const double room = Reach * Reach - dy * dy; // infinite for an infinite reach
    if (room < 0.0)
        return span;
    const double halfWidth = std::sqrt(room);
    ClampRange(CentreX - halfWidth, CentreX + halfWidth, Width, span.First, span.Last);
    return span;
}

double HillFootprint::MostCells(std::int32_t width, std::int32_t height, double radius) {
    const double cells = static_cast<double>(width) * static_cast<double>(height);
    const double side = 2.0 * std::floor(ReachOf(radius)) + 1.0;
    return std::min(cells, side * side);
}
