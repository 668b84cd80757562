// The vector steps of the paired binomial kernel (binomial_pair_kernel.h),
// SSE2 form: one chunk is 16 bytes. The AVX2 form is in
// binomial_pair_ops_avx2.h, included only by the AVX2 kernel unit.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace tessaly::simd {

template <unsigned kChunk>
struct BinomialPairOps;

template <>
struct BinomialPairOps<16> {
  using VI = __m128i;
  // Values in one vector of 16-bit lanes, and so in one call of makePairs16.
  static constexpr unsigned kPairBytes = 8;

  // kPairBytes bytes into 16-bit lanes.
  static VI widen(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  // Values 0 … 7 of x and of y as 16-bit pairs (x[q], y[q]): out[0] holds
  // q = 0 … 3, out[1] q = 4 … 7, so a multiply-add by a pair of weights gives
  // the 32-bit sums in order.
  static void makePairs16(VI xs, VI ys, VI out[2]) {
    out[0] = _mm_unpacklo_epi16(xs, ys);
    out[1] = _mm_unpackhi_epi16(xs, ys);
  }
  // Unsigned 32-bit lanes to doubles, exactly: a value placed in the
  // mantissa of 2^52 gives 2^52 + value. out[0] holds lanes 0, 1.
  static void toDoubles(VI v, __m128d out[2]) {
    const VI exponent = _mm_set1_epi64x(0x4330000000000000);
    const __m128d offset = _mm_set1_pd(0x1p52);
    const VI zero = _mm_setzero_si128();
    out[0] = _mm_sub_pd(_mm_castsi128_pd(_mm_or_si128(_mm_unpacklo_epi32(v, zero), exponent)), offset);
    out[1] = _mm_sub_pd(_mm_castsi128_pd(_mm_or_si128(_mm_unpackhi_epi32(v, zero), exponent)), offset);
  }
  static VI madd(VI pairs, VI weights) { return _mm_madd_epi16(pairs, weights); }
  static VI srl32(VI v, __m128i count) { return _mm_srl_epi32(v, count); }
};

}  // namespace tessaly::simd
