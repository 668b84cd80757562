// ConvolutionLanes for AVX2: 8 pixels a vector, tiles of 16 × 16 (see
// convolution_lanes.h). Included only by units compiled for AVX2.
#pragma once

#include "filters/convolution/convolution_lanes.h"

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

struct Avx2;

template <>
struct ConvolutionLanes<Avx2> {
  static constexpr unsigned kPixels = 8;
  static constexpr unsigned kLanes = 16;
  using V = __m256i;
  using W = __m256i;

  static V load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void store(std::uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
  static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
  static V set32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }

  // Unpacking and packing both work within 128-bit halves, so the bytes come
  // back where they were.
  static V sharpen(V middle, V left, V right, V up, V down) {
    return _mm256_packus_epi16(sharpenHalf<false>(middle, left, right, up, down),
                               sharpenHalf<true>(middle, left, right, up, down));
  }
  // 5 M - L - R - U - D in 16-bit lanes for the low or high bytes of each half.
  template <bool kHigh>
  static __m256i widen(__m256i v) {
    return kHigh ? _mm256_unpackhi_epi8(v, _mm256_setzero_si256()) : _mm256_unpacklo_epi8(v, _mm256_setzero_si256());
  }
  template <bool kHigh>
  static __m256i sharpenHalf(V middle, V left, V right, V up, V down) {
    const __m256i m = widen<kHigh>(middle);
    const __m256i v =
        _mm256_sub_epi16(_mm256_add_epi16(_mm256_slli_epi16(m, 2), m), _mm256_add_epi16(widen<kHigh>(left), widen<kHigh>(right)));
    return _mm256_sub_epi16(v, _mm256_add_epi16(widen<kHigh>(up), widen<kHigh>(down)));
  }

  static W loadLevels(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static W loadWords(const std::int16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void storeWords(std::int16_t* p, W w) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), w); }
  static W add(W a, W b) { return _mm256_add_epi16(a, b); }
  static W sub(W a, W b) { return _mm256_sub_epi16(a, b); }
  static W twice(W a) { return _mm256_add_epi16(a, a); }
  static W halve(W a) { return _mm256_srai_epi16(a, 1); }
  static W limit(W a) {
    return _mm256_min_epi16(_mm256_max_epi16(a, _mm256_set1_epi16(-128)), _mm256_set1_epi16(127));
  }
  static W set16(std::int16_t v) { return _mm256_set1_epi16(v); }

  // An 8 × 8 transpose within each half of rows 0 ... 7 and of rows 8 ... 15,
  // then the halves exchanged.
  static void transpose(W m[16]) {
    W t[16];
    for (int block = 0; block < 16; block += 8) {
      W* r = m + block;
      const __m256i a0 = _mm256_unpacklo_epi16(r[0], r[1]), a1 = _mm256_unpackhi_epi16(r[0], r[1]);
      const __m256i a2 = _mm256_unpacklo_epi16(r[2], r[3]), a3 = _mm256_unpackhi_epi16(r[2], r[3]);
      const __m256i a4 = _mm256_unpacklo_epi16(r[4], r[5]), a5 = _mm256_unpackhi_epi16(r[4], r[5]);
      const __m256i a6 = _mm256_unpacklo_epi16(r[6], r[7]), a7 = _mm256_unpackhi_epi16(r[6], r[7]);
      const __m256i b0 = _mm256_unpacklo_epi32(a0, a2), b1 = _mm256_unpackhi_epi32(a0, a2);
      const __m256i b2 = _mm256_unpacklo_epi32(a1, a3), b3 = _mm256_unpackhi_epi32(a1, a3);
      const __m256i b4 = _mm256_unpacklo_epi32(a4, a6), b5 = _mm256_unpackhi_epi32(a4, a6);
      const __m256i b6 = _mm256_unpacklo_epi32(a5, a7), b7 = _mm256_unpackhi_epi32(a5, a7);
      W* out = t + block;
      out[0] = _mm256_unpacklo_epi64(b0, b4);
      out[1] = _mm256_unpackhi_epi64(b0, b4);
      out[2] = _mm256_unpacklo_epi64(b1, b5);
      out[3] = _mm256_unpackhi_epi64(b1, b5);
      out[4] = _mm256_unpacklo_epi64(b2, b6);
      out[5] = _mm256_unpackhi_epi64(b2, b6);
      out[6] = _mm256_unpacklo_epi64(b3, b7);
      out[7] = _mm256_unpackhi_epi64(b3, b7);
    }
    // t[c] holds column c of rows 0 ... 7 and column c + 8 of the same rows;
    // t[8 + c] the same for rows 8 ... 15.
    for (int c = 0; c < 8; ++c) {
      m[c] = _mm256_permute2x128_si256(t[c], t[8 + c], 0x20);
      m[c + 8] = _mm256_permute2x128_si256(t[c], t[8 + c], 0x31);
    }
  }

  // Each half of the levels is repeated into both halves of a vector and
  // spread by a byte shuffle into the colour bytes of 8 pixels; the old
  // alpha bytes are blended back.
  static void writeLevels(std::uint8_t* pixels, W levels) {
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, -1, 2, 2, 2, -1, 4, 4, 4, -1, 6, 6, 6, -1,  //
                                            8, 8, 8, -1, 10, 10, 10, -1, 12, 12, 12, -1, 14, 14, 14, -1);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const auto merge = [&](std::uint8_t* p, __m256i half) {
      store(p, _mm256_blendv_epi8(_mm256_shuffle_epi8(half, spread), load(p), alpha));
    };
    merge(pixels, _mm256_permute2x128_si256(levels, levels, 0x00));
    merge(pixels + 32, _mm256_permute2x128_si256(levels, levels, 0x11));
  }

  // 32 pixels a call: B + G + R by two multiply-adds (weights 1, 1, 1, 0),
  // then s / 3 = (s × 43691) >> 17, exact for every s up to 765.
  static constexpr unsigned kGreyPixels = 32;
  static void grey(const std::uint8_t* pixels, std::uint8_t* out) {
    const __m256i weights = _mm256_set1_epi32(0x00010101), ones = _mm256_set1_epi16(1);
    __m256i sums[4];
    for (int i = 0; i < 4; ++i) {
      sums[i] = _mm256_madd_epi16(_mm256_maddubs_epi16(load(pixels + 32 * i), weights), ones);
    }
    const __m256i third = _mm256_set1_epi16(static_cast<short>(43691));
    const __m256i low = _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_packs_epi32(sums[0], sums[1]), third), 1);
    const __m256i high = _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_packs_epi32(sums[2], sums[3]), third), 1);
    // The packs interleave 4-pixel groups within halves: put them back in order.
    const __m256i bytes = _mm256_packus_epi16(low, high);
    store(out, _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
  }
};

}  // namespace tessaly::simd
