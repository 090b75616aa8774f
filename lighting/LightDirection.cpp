#include "lighting/LightDirection.h"

#include <algorithm>
#include <cmath>

namespace {
// Squares of components outside this range leave the float range, so the light is rescaled first.
constexpr float LargeComponent = 0x1p40f;
constexpr float SmallComponent = 0x1p-40f;
} // namespace

LightDirection LightDirection::Of(float x, float y, float z) {
    LightDirection light;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return light;
    const float largest = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
    if (largest == 0.0f)
        return light;
    if (largest > LargeComponent || largest < SmallComponent) {
        // A power-of-two scale changes no bit of the direction, only keeps the squares in range.
        int exponent = 0;
        std::frexp(largest, &exponent);
        x = std::ldexp(x, -exponent);
        y = std::ldexp(y, -exponent);
        z = std::ldexp(z, -exponent);
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    light.NX = x / length;
    light.NY = y / length;
    light.NZ = z / length;
    const float horizontal = std::sqrt(x * x + z * z);
    // A light straight down, or one that does not travel downwards, casts no shadows.
    light.CastsShadows = horizontal > 0.0f && y < 0.0f;
    if (light.CastsShadows) {
        light.HX = x / horizontal;
        light.HZ = z / horizontal;
    }
    light.RowLines = z * z < x * x;
    light.XNegative = x < 0.0f;
    light.ZNegative = z < 0.0f;
    return light;
}
