// The byte operations of alpha_blend_rows.h in SSE2. A vector here is two
// registers, 8 pixels, so that the shortcut tests of the row loop see as many
// alphas as in AVX2: with 4, a random image would take the tests' second step
// for one vector in 8, each time a branch the processor cannot foresee.
// Partial vectors go through a vector on the stack.
//
// SSE2 has no byte-pair multiply-add, so `blend` works in 16-bit lanes on the
// even bytes (blue, red) and the odd bytes (green, alpha) of the pixels in
// place: each lane's s × a + d × (255 − a) is at most 65025, so the low 16
// bits of the products are whole, and its shift by 8 lands in the lane's low
// byte (even) or is the lane's high byte as it stands (odd).
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace tessaly::paste {

struct AlphaBlendBytesSse2 {
  struct V {
    __m128i low, high;
  };
  static constexpr std::uint32_t kPixels = 8;

  [[gnu::always_inline]] static __m128i blend4(__m128i source, __m128i target) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i alphaInLowWord = _mm_srli_epi32(source, 24);
    const __m128i a = _mm_or_si128(alphaInLowWord, _mm_slli_epi32(alphaInLowWord, 16));
    const __m128i notA = _mm_xor_si128(a, lowBytes);  // 255 − a
    const __m128i even = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(source, lowBytes), a),
                                       _mm_mullo_epi16(_mm_and_si128(target, lowBytes), notA));
    const __m128i odd = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(source, 8), a),
                                      _mm_mullo_epi16(_mm_srli_epi16(target, 8), notA));
    const __m128i colour = _mm_or_si128(_mm_srli_epi16(even, 8), _mm_and_si128(odd, _mm_set1_epi32(0x0000FF00)));
    return _mm_or_si128(colour, _mm_and_si128(_mm_adds_epu8(target, source), alphaBytes()));
  }
  [[gnu::always_inline]] static V blend(V source, V target) {
    return {blend4(source.low, target.low), blend4(source.high, target.high)};
  }

  static V load(const std::uint8_t* p) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16))};
  }
  static void store(std::uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v.low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), v.high);
  }
  // The first n pixels (n < 8); the others are neither read nor written.
  static V loadPixels(const std::uint8_t* p, std::uint32_t n) {
    std::uint8_t bytes[32] = {};
    std::memcpy(bytes, p, std::size_t{n} * 4);
    return load(bytes);
  }
  static void storePixels(std::uint8_t* p, V v, std::uint32_t n) {
    std::uint8_t bytes[32];
    store(bytes, v);
    std::memcpy(p, bytes, std::size_t{n} * 4);
  }

  static __m128i alphaBytes() { return _mm_set1_epi32(static_cast<int>(0xFF000000u)); }
  // The top bit of each pixel's alpha, in every fourth bit.
  static constexpr std::uint32_t kEveryAlphaTopBit = 0x88888888u;
  static std::uint32_t alphaTopBits(V v) {
    const auto low = static_cast<std::uint32_t>(_mm_movemask_epi8(v.low));
    const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(v.high));
    return (low | high << 16) & kEveryAlphaTopBit;
  }
  // Every alpha 255 where the alphas of both halves anded are; every alpha 0
  // where the ored ones are.
  static bool allOpaque(V v) {
    const __m128i alphas = _mm_and_si128(_mm_and_si128(v.low, v.high), alphaBytes());
    return _mm_movemask_epi8(_mm_cmpeq_epi32(alphas, alphaBytes())) == 0xFFFF;
  }
  static bool allClear(V v) {
    const __m128i alphas = _mm_and_si128(_mm_or_si128(v.low, v.high), alphaBytes());
    return _mm_movemask_epi8(_mm_cmpeq_epi32(alphas, _mm_setzero_si128())) == 0xFFFF;
  }
  // Each colour byte less one, down to 0; the alpha bytes as they are.
  static V lessOneInColour(V v) {
    const __m128i one = _mm_set1_epi32(0x00010101);
    return {_mm_subs_epu8(v.low, one), _mm_subs_epu8(v.high, one)};
  }
};

}  // namespace tessaly::paste
