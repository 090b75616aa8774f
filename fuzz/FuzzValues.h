#pragma once
// Values decoded from a fuzzer's bytes, leaning towards the ones that break arithmetic: zeros of
// both signs, infinities, NaN, the extremes and the smallest numbers.

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <limits>

inline float AnyFloat(FuzzedDataProvider& in) {
    using Limits = std::numeric_limits<float>;
    // clang-format off
    constexpr float special[] = {0.0f, -0.0f, 1.0f, -1.0f, Limits::quiet_NaN(), Limits::infinity(),
        -Limits::infinity(), Limits::max(), -Limits::max(), Limits::min(), Limits::denorm_min(),
        -Limits::denorm_min(), 1e-20f, 1e20f};
    // clang-format on
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return special[in.ConsumeIntegralInRange<std::size_t>(0, std::size(special) - 1)];
    case 1:
        return std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
    case 2:
        return in.ConsumeFloatingPointInRange<float>(-1000.0f, 1000.0f);
    default:
        return in.ConsumeFloatingPoint<float>();
    }
}

// Any int, but often a small one or an extreme.
inline std::int32_t AnyInt(FuzzedDataProvider& in) {
    using Limits = std::numeric_limits<std::int32_t>;
    constexpr std::int32_t special[] = {Limits::min(),
                                        Limits::min() + 1,
                                        Limits::max(),
                                        Limits::max() - 1,
                                        -1,
                                        0,
                                        1,
                                        2,
                                        255,
                                        256,
                                        257,
                                        65535,
                                        65536,
                                        65537};
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        return in.ConsumeIntegralInRange<std::int32_t>(-300, 300);
    case 1:
        return special[in.ConsumeIntegralInRange<std::size_t>(0, std::size(special) - 1)];
    default:
        return in.ConsumeIntegral<std::int32_t>();
    }
}
