// ConvolutionLanes for SSE2: 4 pixels a vector, tiles of 8 × 8 (see
// convolution_lanes.h).
#pragma once

#include "filters/convolution/convolution_lanes.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

struct Sse2;

template <>
struct ConvolutionLanes<Sse2> {
  static constexpr unsigned kPixels = 4;
  static constexpr unsigned kLanes = 8;
  using V = __m128i;
  using W = __m128i;

  static V load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void store(std::uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
  static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
  static V set32(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }

  static V sharpen(V middle, V left, V right, V up, V down) {
    return _mm_packus_epi16(sharpenHalf<false>(middle, left, right, up, down),
                            sharpenHalf<true>(middle, left, right, up, down));
  }
  // 5 M - L - R - U - D in 16-bit lanes for the low or high 8 bytes.
  template <bool kHigh>
  static __m128i widen(__m128i v) {
    return kHigh ? _mm_unpackhi_epi8(v, _mm_setzero_si128()) : _mm_unpacklo_epi8(v, _mm_setzero_si128());
  }
  template <bool kHigh>
  static __m128i sharpenHalf(V middle, V left, V right, V up, V down) {
    const __m128i m = widen<kHigh>(middle);
    const __m128i v = _mm_sub_epi16(_mm_add_epi16(_mm_slli_epi16(m, 2), m), _mm_add_epi16(widen<kHigh>(left), widen<kHigh>(right)));
    return _mm_sub_epi16(v, _mm_add_epi16(widen<kHigh>(up), widen<kHigh>(down)));
  }

  static W loadLevels(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static W loadWords(const std::int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void storeWords(std::int16_t* p, W w) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), w); }
  static W add(W a, W b) { return _mm_add_epi16(a, b); }
  static W sub(W a, W b) { return _mm_sub_epi16(a, b); }
  static W twice(W a) { return _mm_add_epi16(a, a); }
  static W halve(W a) { return _mm_srai_epi16(a, 1); }
  static W limit(W a) { return _mm_min_epi16(_mm_max_epi16(a, _mm_set1_epi16(-128)), _mm_set1_epi16(127)); }
  static W set16(std::int16_t v) { return _mm_set1_epi16(v); }

  static void transpose(W m[8]) {
    const __m128i a0 = _mm_unpacklo_epi16(m[0], m[1]), a1 = _mm_unpackhi_epi16(m[0], m[1]);
    const __m128i a2 = _mm_unpacklo_epi16(m[2], m[3]), a3 = _mm_unpackhi_epi16(m[2], m[3]);
    const __m128i a4 = _mm_unpacklo_epi16(m[4], m[5]), a5 = _mm_unpackhi_epi16(m[4], m[5]);
    const __m128i a6 = _mm_unpacklo_epi16(m[6], m[7]), a7 = _mm_unpackhi_epi16(m[6], m[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
    m[0] = _mm_unpacklo_epi64(b0, b4);
    m[1] = _mm_unpackhi_epi64(b0, b4);
    m[2] = _mm_unpacklo_epi64(b1, b5);
    m[3] = _mm_unpackhi_epi64(b1, b5);
    m[4] = _mm_unpacklo_epi64(b2, b6);
    m[5] = _mm_unpackhi_epi64(b2, b6);
    m[6] = _mm_unpacklo_epi64(b3, b7);
    m[7] = _mm_unpackhi_epi64(b3, b7);
  }

  static void writeLevels(std::uint8_t* pixels, W levels) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i pairs = _mm_or_si128(levels, _mm_slli_epi16(levels, 8));  // each level in both bytes
    const __m128i low = _mm_unpacklo_epi16(pairs, pairs), high = _mm_unpackhi_epi16(pairs, pairs);
    const auto merge = [&](std::uint8_t* p, __m128i grey) {
      const __m128i old = load(p);
      store(p, _mm_or_si128(_mm_andnot_si128(alpha, grey), _mm_and_si128(alpha, old)));
    };
    merge(pixels, low);
    merge(pixels + 16, high);
  }

  static constexpr unsigned kGreyPixels = 4;
  static void grey(const std::uint8_t* pixels, std::uint8_t* out) {
    const __m128i v = load(pixels), byte = _mm_set1_epi32(0xFF);
    const __m128i sum = _mm_add_epi32(_mm_add_epi32(_mm_and_si128(v, byte), _mm_and_si128(_mm_srli_epi32(v, 8), byte)),
                                      _mm_and_si128(_mm_srli_epi32(v, 16), byte));
    // s / 3 = (s × 43691) >> 17 for every s up to 765.
    const __m128i words = _mm_packs_epi32(sum, sum);
    const __m128i third = _mm_srli_epi16(_mm_mulhi_epu16(words, _mm_set1_epi16(static_cast<short>(43691))), 1);
    const int four = _mm_cvtsi128_si32(_mm_packus_epi16(third, third));
    std::memcpy(out, &four, 4);
  }
};

}  // namespace tessaly::simd
