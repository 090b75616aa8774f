#pragma once
// Four floats as one value, for the lighting's inner loops. Each lane goes through the same
// operations, in the same order, as it would on its own, so the results are those of the
// one-at-a-time arithmetic.

#include <cstring>

using Float4 = float __attribute__((vector_size(16)));
using Int4 = int __attribute__((vector_size(16)));

inline Float4 Load4(const float* from) {
    Float4 value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

inline void Store4(float* to, Float4 value) {
    std::memcpy(to, &value, sizeof value);
}

// Lanes 0 .. 2 of four vectors, transposed: out0 holds the four lanes 0, out1 lanes 1, out2 lanes 2.
inline void Transpose3(Float4 a, Float4 b, Float4 c, Float4 d, Float4& out0, Float4& out1, Float4& out2) {
    const Float4 ab01 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Float4 cd01 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Float4 ab23 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Float4 cd23 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    out0 = __builtin_shufflevector(ab01, cd01, 0, 1, 4, 5);
    out1 = __builtin_shufflevector(ab01, cd01, 2, 3, 6, 7);
    out2 = __builtin_shufflevector(ab23, cd23, 0, 1, 4, 5);
}

// On a function of the lighting's inner loops: a copy for processors with AVX2 as well, chosen when
// the program loads. The same operations on each lane in the same order, so the same results; only
// fewer instructions. GCC only: clang wants the clones declared before a function's first use. ELF
// only: the choice at load time is an indirect function, which other object formats lack.
#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__) &&      \
    !defined(__SANITIZE_ADDRESS__)
#define LIGHTING_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LIGHTING_WIDE_CLONES
#endif
