// AVX2 operations of the paste kernels: a chunk is 32 bytes, 8 pixels. Lanes
// are widened and packed within each 128-bit half, so pixels keep their order.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace tessaly::paste {

struct PasteAvx2 {
  static constexpr unsigned kChunk = 32;
  using VI = __m256i;

  static VI load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void store(std::uint8_t* p, VI v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static VI zero() { return _mm256_setzero_si256(); }

  static VI unpacklo8(VI a, VI b) { return _mm256_unpacklo_epi8(a, b); }
  static VI unpackhi8(VI a, VI b) { return _mm256_unpackhi_epi8(a, b); }
  static VI unpacklo16(VI a, VI b) { return _mm256_unpacklo_epi16(a, b); }
  static VI unpackhi16(VI a, VI b) { return _mm256_unpackhi_epi16(a, b); }
  static VI packus16(VI a, VI b) { return _mm256_packus_epi16(a, b); }
  static VI packs32(VI a, VI b) { return _mm256_packs_epi32(a, b); }

  static VI set16(std::uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
  static VI add16(VI a, VI b) { return _mm256_add_epi16(a, b); }
  static VI sub16(VI a, VI b) { return _mm256_sub_epi16(a, b); }
  static VI mullo16(VI a, VI b) { return _mm256_mullo_epi16(a, b); }
  static VI mulhi16(VI a, VI b) { return _mm256_mulhi_epu16(a, b); }
  static VI srli16(VI a, int n) { return _mm256_srli_epi16(a, n); }
  static VI slli16(VI a, int n) { return _mm256_slli_epi16(a, n); }
  static VI cmpeq16(VI a, VI b) { return _mm256_cmpeq_epi16(a, b); }
  static VI cmpgt16(VI a, VI b) { return _mm256_cmpgt_epi16(a, b); }
  static VI min16(VI a, VI b) { return _mm256_min_epi16(a, b); }
  static VI max16(VI a, VI b) { return _mm256_max_epi16(a, b); }
  static VI select(VI mask, VI ifSet, VI otherwise) { return _mm256_blendv_epi8(otherwise, ifSet, mask); }

  static VI alphaOfEachPixel16(VI v) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF);
  }
  static VI withAlphaLanesOf(VI colour, VI alpha) { return _mm256_blend_epi16(colour, alpha, 0x88); }

  static VI add32(VI a, VI b) { return _mm256_add_epi32(a, b); }
  static VI srli32(VI a, int n) { return _mm256_srli_epi32(a, n); }
  static VI quotientUpTo255(VI n, VI d) {
    const __m256 q = _mm256_div_ps(_mm256_cvtepi32_ps(n), _mm256_cvtepi32_ps(d));
    return _mm256_cvttps_epi32(_mm256_min_ps(q, _mm256_set1_ps(255.0f)));
  }
};

}  // namespace tessaly::paste
