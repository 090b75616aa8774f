#pragma once
// What the fuzzers decode from their bytes: values leaning towards the ones that break arithmetic
// (zeros of both signs, infinities, NaN, the extremes, the smallest numbers), the tests' strict
// host double making its buffers as a host may, or none, or ones that refuse to allocate; and a
// check that stops the run (as a contract breach does, FuzzContractBreach.cpp).

#include "support/RecordingRenderer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdlib>
#include <limits>

inline void Require(bool condition) {
    if (!condition)
        std::abort();
}

inline float AnyFloat(FuzzedDataProvider& in) {
    using L = std::numeric_limits<float>;
    constexpr float special[] = {
        0.0f,     -0.0f,     1.0f,     -1.0f,           L::quiet_NaN(),   L::infinity(), -L::infinity(),
        L::max(), -L::max(), L::min(), L::denorm_min(), -L::denorm_min(), 1e-20f,        1e20f};
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    return kind == 0   ? in.PickValueInArray(special)
           : kind == 1 ? std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>())
                       : in.ConsumeFloatingPointInRange<float>(-1000.0f, 1000.0f);
}

// Any int, but often a small one or an extreme.
inline std::int32_t AnyInt(FuzzedDataProvider& in) {
    using L = std::numeric_limits<std::int32_t>;
    constexpr std::int32_t special[] = {L::min(), L::min() + 1, L::max(), L::max() - 1, 255,
                                        256,      257,          65535,    65536,        65537};
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    return kind == 0   ? in.ConsumeIntegralInRange<std::int32_t>(-300, 300)
           : kind == 1 ? in.PickValueInArray(special)
                       : in.ConsumeIntegral<std::int32_t>();
}

// Call record off: it would grow with every frame.
inline void MakeBuffersSomehow(FuzzedDataProvider& in, RecordingRenderer& device) {
    device.Log->Enabled = false;
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    device.MakeNoBuffers = kind == 1;
    device.RefuseAllocate = kind == 2;
}
