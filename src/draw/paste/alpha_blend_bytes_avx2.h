// The byte operations of alpha_blend_rows.h and alpha_blend_pairs.h in AVX2:
// 8 pixels a vector; partial vectors by the per-pixel masked load and store.
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "draw/paste/alpha_blend_pairs.h"

#include <immintrin.h>

#include <cstdint>

namespace tessaly::paste {

struct AlphaBlendBytesAvx2 {
  using V = __m256i;
  [[gnu::always_inline]] static V blend(V source, V target) {
    return alphaBlendByPairProducts<AlphaBlendBytesAvx2>(source, target);
  }

  static constexpr std::uint32_t kPixels = 8;

  static V load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void store(std::uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  // The first n pixels (n < 8); the others are neither read nor written.
  static V firstPixels(std::uint32_t n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(n)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  }
  static V loadPixels(const std::uint8_t* p, std::uint32_t n) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), firstPixels(n));
  }
  static void storePixels(std::uint8_t* p, V v, std::uint32_t n) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), firstPixels(n), v);
  }

  static V alphaBytes() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }
  // The top bit of each pixel's alpha, in every fourth bit.
  static constexpr std::uint32_t kEveryAlphaTopBit = 0x88888888u;
  static std::uint32_t alphaTopBits(V v) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)) & kEveryAlphaTopBit;
  }
  static bool allOpaque(V v) { return _mm256_testc_si256(v, alphaBytes()) != 0; }
  static bool allClear(V v) { return _mm256_testz_si256(v, alphaBytes()) != 0; }
  // Each colour byte less one, down to 0; the alpha bytes as they are.
  static V lessOneInColour(V v) { return _mm256_subs_epu8(v, _mm256_set1_epi32(0x00010101)); }

  // (a, 255 − a) for each byte of the low and of the high interleave: the
  // pixel's alpha twice, the second complemented.
  static V weights(V v, V alphaIndices) {
    return _mm256_xor_si256(_mm256_shuffle_epi8(v, alphaIndices), _mm256_set1_epi16(static_cast<short>(0xFF00)));
  }
  static V weightsLow(V v) {
    return weights(v, _mm256_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7,  //
                                       3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7));
  }
  static V weightsHigh(V v) {
    return weights(v, _mm256_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15,  //
                                       11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15));
  }
  static V flipTopBit(V v) { return _mm256_xor_si256(v, _mm256_set1_epi8(-128)); }
  static V interleaveLow(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V interleaveHigh(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V pairProducts(V unsignedBytes, V signedBytes) { return _mm256_maddubs_epi16(unsignedBytes, signedBytes); }
  // Adds 128 × 255 modulo 2^16 (as the subtraction of 0x8080).
  static V unbias(V v) { return _mm256_sub_epi16(v, _mm256_set1_epi8(-128)); }
  static V shiftRight8(V v) { return _mm256_srli_epi16(v, 8); }
  // Inverse of the interleaves: lanes of 0 … 255 back to bytes in pixel order.
  static V narrow(V low, V high) { return _mm256_packus_epi16(low, high); }
  // The colour bytes with each alpha byte replaced by min(da + a, 255).
  static V withAlphaSum(V colour, V target, V source) {
    return _mm256_blendv_epi8(colour, _mm256_adds_epu8(target, source), alphaBytes());
  }
};

}  // namespace tessaly::paste
