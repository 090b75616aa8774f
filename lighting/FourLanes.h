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

// Four triples packed side by side (x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3), transposed: the four
// x, the four y and the four z.
inline void Transpose3(const float* triples, Float4& x, Float4& y, Float4& z) {
    const Float4 a = Load4(triples), b = Load4(triples + 4), c = Load4(triples + 8);
    const Float4 xxxy = __builtin_shufflevector(a, b, 0, 3, 6, 1); // x0 x1 x2 y0
    const Float4 yyyz = __builtin_shufflevector(b, c, 0, 3, 6, 1); // y1 y2 y3 z1
    x = __builtin_shufflevector(xxxy, c, 0, 1, 2, 5);
    y = __builtin_shufflevector(xxxy, yyyz, 3, 4, 5, 6);
    z = __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 2, 5), c, 0, 1, 4, 7);
}

// On a function of the lighting's inner loops: a copy for processors with AVX2 as well, chosen when
// the program loads. The same operations on each lane in the same order, so the same results; only
// fewer instructions. GCC only: clang wants the clones declared before a function's first use. ELF
// only: the choice at load time is an indirect function, which other object formats lack.
#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && !defined(__clang__) &&                   \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define LIGHTING_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LIGHTING_WIDE_CLONES
#endif
