// The vector steps of the paired binomial kernel, AVX2 form: one chunk is 32
// bytes (see binomial_pair_ops.h). Included only by the AVX2 kernel unit.
#pragma once

#include "filters/binomial_pair_ops.h"

#include <immintrin.h>

#include <cstdint>

namespace tessaly::simd {

template <>
struct BinomialPairOps<32> {
  using VI = __m256i;
  static constexpr unsigned kPairBytes = 16;

  static VI widen(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  // Values 0 … 15 of x and of y as 16-bit pairs (x[q], y[q]): out[0] holds
  // q = 0 … 7 and out[1] q = 8 … 15, each 128-bit half four values in order,
  // which is the order Avx2::narrow32 puts back into bytes.
  static void makePairs16(VI xs, VI ys, VI out[2]) {
    const VI low = _mm256_unpacklo_epi16(xs, ys), high = _mm256_unpackhi_epi16(xs, ys);
    out[0] = _mm256_permute2x128_si256(low, high, 0x20);
    out[1] = _mm256_permute2x128_si256(low, high, 0x31);
  }
  static VI madd(VI pairs, VI weights) { return _mm256_madd_epi16(pairs, weights); }
  static VI srl32(VI v, __m128i count) { return _mm256_srl_epi32(v, count); }
};

}  // namespace tessaly::simd
