// The byte operations of alpha_blend_rows.h and alpha_blend_pairs.h in
// AVX-512 (BW): 16 pixels a vector; partial vectors and the alpha bytes by
// masks.
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "draw/paste/alpha_blend_pairs.h"

#include <immintrin.h>

#include <cstdint>

namespace tessaly::paste {

struct AlphaBlendBytesAvx512 {
  using V = __m512i;
  [[gnu::always_inline]] static V blend(V source, V target) {
    return alphaBlendByPairProducts<AlphaBlendBytesAvx512>(source, target);
  }

  static constexpr std::uint32_t kPixels = 16;

  static V load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
  static void store(std::uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
  // The first n pixels (n < 16); the others are neither read nor written.
  static __mmask16 firstPixels(std::uint32_t n) { return static_cast<__mmask16>((1u << n) - 1); }
  static V loadPixels(const std::uint8_t* p, std::uint32_t n) { return _mm512_maskz_loadu_epi32(firstPixels(n), p); }
  static void storePixels(std::uint8_t* p, V v, std::uint32_t n) { _mm512_mask_storeu_epi32(p, firstPixels(n), v); }

  static V alphaBytes() { return _mm512_set1_epi32(static_cast<int>(0xFF000000u)); }
  // The top bit of each pixel's alpha, in every fourth bit; also the mask of the alpha bytes.
  static constexpr std::uint64_t kEveryAlphaTopBit = 0x8888888888888888ull;
  static std::uint64_t alphaTopBits(V v) { return _cvtmask64_u64(_mm512_movepi8_mask(v)) & kEveryAlphaTopBit; }
  static bool allOpaque(V v) { return _mm512_cmpge_epu32_mask(v, alphaBytes()) == 0xFFFF; }
  static bool allClear(V v) { return _mm512_test_epi32_mask(v, alphaBytes()) == 0; }
  // Each colour byte less one, down to 0; the alpha bytes as they are.
  static V lessOneInColour(V v) { return _mm512_subs_epu8(v, _mm512_set1_epi32(0x00010101)); }

  // (a, 255 − a) for each byte of the low and of the high interleave: the
  // pixel's alpha twice, the second complemented.
  static V weights(V v, V alphaIndices) {
    return _mm512_xor_si512(_mm512_shuffle_epi8(v, alphaIndices), _mm512_set1_epi16(static_cast<short>(0xFF00)));
  }
  static V weightsLow(V v) { return weights(v, _mm512_set4_epi32(0x07070707, 0x07070707, 0x03030303, 0x03030303)); }
  static V weightsHigh(V v) { return weights(v, _mm512_set4_epi32(0x0F0F0F0F, 0x0F0F0F0F, 0x0B0B0B0B, 0x0B0B0B0B)); }
  static V flipTopBit(V v) { return _mm512_xor_si512(v, _mm512_set1_epi8(-128)); }
  static V interleaveLow(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V interleaveHigh(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V pairProducts(V unsignedBytes, V signedBytes) { return _mm512_maddubs_epi16(unsignedBytes, signedBytes); }
  // Adds 128 × 255 modulo 2^16 (as the subtraction of 0x8080).
  static V unbias(V v) { return _mm512_sub_epi16(v, _mm512_set1_epi8(-128)); }
  static V shiftRight8(V v) { return _mm512_srli_epi16(v, 8); }
  static V narrow(V low, V high) { return _mm512_packus_epi16(low, high); }
  // The colour bytes with each alpha byte replaced by min(da + a, 255).
  static V withAlphaSum(V colour, V target, V source) {
    return _mm512_mask_adds_epu8(colour, static_cast<__mmask64>(kEveryAlphaTopBit), target, source);
  }
};

}  // namespace tessaly::paste
