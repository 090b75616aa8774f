#include "elevation/RasterOrientation.h"

#include <algorithm>

RasterOrientation RasterOrientation::Of(const double* transform) {
    if (transform == nullptr)
        return {};
    return {transform[5] > 0.0, transform[1] < 0.0};
}

bool RasterOrientation::Rotated(const double* transform) {
    return transform != nullptr && (transform[2] != 0.0 || transform[4] != 0.0);
}

CellWindow RasterOrientation::InRaster(const CellWindow& northUp, int columns, int rows) const {
    CellWindow window = northUp;
    if (FirstColumnEast)
        window.X = columns - northUp.X - northUp.Width;
    if (FirstRowSouth)
        window.Y = rows - northUp.Y - northUp.Height;
    return window;
}

void RasterOrientation::TurnNorthUp(std::vector<float>& samples, int width, int height) const {
    const auto row = [&](int y) { return samples.begin() + static_cast<std::ptrdiff_t>(y) * width; };
    if (FirstColumnEast)
        for (int y = 0; y < height; ++y)
            std::reverse(row(y), row(y + 1));
    if (FirstRowSouth)
        for (int y = 0; y < height / 2; ++y)
            std::swap_ranges(row(y), row(y + 1), row(height - 1 - y));
}
