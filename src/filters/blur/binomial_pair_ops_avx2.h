// The vector steps of the paired binomial kernel, AVX2 form: one chunk is 32
// bytes (see binomial_pair_ops.h). Included only by the AVX2 kernel unit.
#pragma once

#include "filters/blur/binomial_pair_ops.h"

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
  // Unsigned 32-bit lanes to doubles, exactly (see binomial_pair_ops.h).
  static void toDoubles(VI v, __m256d out[2]) {
    const VI exponent = _mm256_set1_epi64x(0x4330000000000000);
    const __m256d offset = _mm256_set1_pd(0x1p52);
    out[0] = _mm256_sub_pd(
        _mm256_castsi256_pd(_mm256_or_si256(_mm256_cvtepu32_epi64(_mm256_castsi256_si128(v)), exponent)), offset);
    out[1] = _mm256_sub_pd(
        _mm256_castsi256_pd(_mm256_or_si256(_mm256_cvtepu32_epi64(_mm256_extracti128_si256(v, 1)), exponent)), offset);
  }
  static VI madd(VI pairs, VI weights) { return _mm256_madd_epi16(pairs, weights); }
  static VI srl32(VI v, __m128i count) { return _mm256_srl_epi32(v, count); }
};

}  // namespace tessaly::simd
