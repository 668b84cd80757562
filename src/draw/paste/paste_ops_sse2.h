// SSE2 operations of the paste kernels: a chunk is 16 bytes, 4 pixels.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace tessaly::paste {

struct PasteSse2 {
  static constexpr unsigned kChunk = 16;
  using VI = __m128i;

  static VI load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void store(std::uint8_t* p, VI v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static VI zero() { return _mm_setzero_si128(); }

  static VI unpacklo8(VI a, VI b) { return _mm_unpacklo_epi8(a, b); }
  static VI unpackhi8(VI a, VI b) { return _mm_unpackhi_epi8(a, b); }
  static VI unpacklo16(VI a, VI b) { return _mm_unpacklo_epi16(a, b); }
  static VI unpackhi16(VI a, VI b) { return _mm_unpackhi_epi16(a, b); }
  static VI packus16(VI a, VI b) { return _mm_packus_epi16(a, b); }
  static VI packs32(VI a, VI b) { return _mm_packs_epi32(a, b); }

  static VI set16(std::uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
  static VI add16(VI a, VI b) { return _mm_add_epi16(a, b); }
  static VI sub16(VI a, VI b) { return _mm_sub_epi16(a, b); }
  static VI mullo16(VI a, VI b) { return _mm_mullo_epi16(a, b); }
  static VI mulhi16(VI a, VI b) { return _mm_mulhi_epu16(a, b); }
  static VI srli16(VI a, int n) { return _mm_srli_epi16(a, n); }
  static VI slli16(VI a, int n) { return _mm_slli_epi16(a, n); }
  static VI cmpeq16(VI a, VI b) { return _mm_cmpeq_epi16(a, b); }
  static VI cmpgt16(VI a, VI b) { return _mm_cmpgt_epi16(a, b); }
  static VI min16(VI a, VI b) { return _mm_min_epi16(a, b); }
  static VI max16(VI a, VI b) { return _mm_max_epi16(a, b); }
  static VI select(VI mask, VI ifSet, VI otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
  }

  // Each pixel's alpha lane repeated over its four lanes.
  static VI alphaOfEachPixel16(VI v) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
  }
  // The colour lanes of `colour` with the alpha lanes of `alpha`.
  static VI withAlphaLanesOf(VI colour, VI alpha) {
    return select(_mm_set1_epi64x(static_cast<long long>(0xFFFF000000000000ull)), alpha, colour);
  }

  static VI add32(VI a, VI b) { return _mm_add_epi32(a, b); }
  static VI srli32(VI a, int n) { return _mm_srli_epi32(a, n); }
  // min(n / d, 255) in 32-bit lanes (see paste_lanes.h for why it is exact).
  static VI quotientUpTo255(VI n, VI d) {
    const __m128 q = _mm_div_ps(_mm_cvtepi32_ps(n), _mm_cvtepi32_ps(d));
    return _mm_cvttps_epi32(_mm_min_ps(q, _mm_set1_ps(255.0f)));
  }
};

}  // namespace tessaly::paste
