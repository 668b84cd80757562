// The AVX-512 form of the vector operations the recursive Gaussian kernel
// uses (see simd_sse2.h): one chunk is 64 bytes, 8 vectors of 8 doubles. With
// half the instructions per value the divider stays busier than with AVX2.
// Included only by the kernel unit compiled for AVX-512, which runs only when
// the processor reports it.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace tessaly::simd {

struct Avx512 {
  static constexpr unsigned kChunk = 64;
  static constexpr int kDoubleLanes = 8;
  using VI = __m512i;
  using VD = __m512d;

  static void store(std::uint8_t* p, VI v) { _mm512_storeu_si512(p, v); }
  static VD setD(double v) { return _mm512_set1_pd(v); }
  static VD loadD(const double* p) { return _mm512_loadu_pd(p); }
  static void storeD(double* p, VD v) { _mm512_storeu_pd(p, v); }
  static VD add(VD a, VD b) { return _mm512_add_pd(a, b); }
  static VD min(VD a, VD b) { return _mm512_min_pd(a, b); }
  static VD max(VD a, VD b) { return _mm512_max_pd(a, b); }
  static VD mul(VD a, VD b) { return _mm512_mul_pd(a, b); }
  static VD div(VD a, VD b) { return _mm512_div_pd(a, b); }
  static VD mulAdd(VD a, VD b, VD c) { return _mm512_fmadd_pd(a, b, c); }
  static VD roundToFloat(VD v) { return _mm512_cvtps_pd(_mm512_cvtpd_ps(v)); }

  // Bytes to doubles: a byte b in the mantissa of 2^52 gives 2^52 + b exactly.
  static void widenD(const std::uint8_t* p, VD out[8]) {
    const VI exponent = _mm512_set1_epi64(0x4330000000000000);
    const VD offset = _mm512_set1_pd(0x1p52);
    for (int i = 0; i < 8; ++i) {
      const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 8 * i));
      out[i] = _mm512_sub_pd(_mm512_castsi512_pd(_mm512_or_si512(_mm512_cvtepu8_epi64(bytes), exponent)), offset);
    }
  }
  // The eight vectors truncated toward zero into 32 bits, each quarter made
  // bytes by narrow (16 words to 16 bytes).
  template <class Narrow>
  static VI truncatedBytes(const VD in[8], Narrow narrow) {
    VI bytes = _mm512_setzero_si512();
    for (int i = 0; i < 4; ++i) {
      const VI words = _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvttpd_epi32(in[2 * i])),
                                          _mm512_cvttpd_epi32(in[2 * i + 1]), 1);
      const __m128i part = narrow(words);
      switch (i) {
        case 0: bytes = _mm512_inserti32x4(bytes, part, 0); break;
        case 1: bytes = _mm512_inserti32x4(bytes, part, 1); break;
        case 2: bytes = _mm512_inserti32x4(bytes, part, 2); break;
        default: bytes = _mm512_inserti32x4(bytes, part, 3); break;
      }
    }
    return bytes;
  }
  // Truncates toward zero into 32 bits and keeps each low byte (vpmovdb
  // keeps the low byte; out-of-range values truncate to INT32_MIN, low byte 0).
  static VI truncateLowBytes(const VD in[8]) {
    return truncatedBytes(in, [](VI words) { return _mm512_cvtepi32_epi8(words); });
  }
  // Truncates toward zero into 32 bits, then each to 0 … 255 (below 0 as 0,
  // above 255 as 255).
  static VI truncateToBytesLimited(const VD in[8]) {
    return truncatedBytes(in, [](VI words) { return _mm512_cvtusepi32_epi8(_mm512_max_epi32(words, _mm512_setzero_si512())); });
  }

  // Pixel words, 16 to a vector (the point filters; AVX-512 BW for bytes).
  static VI load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
  static VI set32(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
  static VI repeat128(const std::uint32_t v[4]) {
    const int a = static_cast<int>(v[0]), b = static_cast<int>(v[1]), c = static_cast<int>(v[2]),
              d = static_cast<int>(v[3]);
    return _mm512_setr_epi32(a, b, c, d, a, b, c, d, a, b, c, d, a, b, c, d);
  }
  static VI add32(VI a, VI b) { return _mm512_add_epi32(a, b); }
  static VI andI(VI a, VI b) { return _mm512_and_si512(a, b); }
  static VI orI(VI a, VI b) { return _mm512_or_si512(a, b); }
  static VI xorI(VI a, VI b) { return _mm512_xor_si512(a, b); }
  static VI slli32(VI a, int n) { return _mm512_slli_epi32(a, static_cast<unsigned>(n)); }
  static VI srlv32(VI a, VI counts) { return _mm512_srlv_epi32(a, counts); }
  static VI mullo32(VI a, VI b) { return _mm512_mullo_epi32(a, b); }
  static VI minU32(VI a, VI b) { return _mm512_min_epu32(a, b); }
  static VI maxU8(VI a, VI b) { return _mm512_max_epu8(a, b); }
  static VI minU8(VI a, VI b) { return _mm512_min_epu8(a, b); }
  static VI madd16(VI a, VI b) { return _mm512_madd_epi16(a, b); }
  static VI mulhi16(VI a, VI b) { return _mm512_mulhi_epu16(a, b); }
  static VI selectIfLessU32(VI a, VI b, VI ifLess, VI otherwise) {
    return _mm512_mask_blend_epi32(_mm512_cmplt_epu32_mask(a, b), otherwise, ifLess);
  }
  // 16 bytes into 32-bit lanes, and 32-bit lanes back into bytes, those
  // above 255 as 255.
  static VI widenQuarter32(const std::uint8_t* p) {
    return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static void storeQuarter8Limited(std::uint8_t* p, VI v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm512_cvtusepi32_epi8(v));
  }
  // Floats, 16 to a vector, and the lanes with none of some bits as a bit mask.
  using VF = __m512;
  static VF setF(float v) { return _mm512_set1_ps(v); }
  static VF toFloat(VI v) { return _mm512_cvtepi32_ps(v); }
  static VI truncate(VF v) { return _mm512_cvttps_epi32(v); }
  static VF mul(VF a, VF b) { return _mm512_mul_ps(a, b); }
  static VF mulAddF(VF a, VF b, VF c) { return _mm512_fmadd_ps(a, b, c); }
  // The lanes where a, b and c each have some of the bits, as a mask register.
  static __mmask16 lanesWithSomeInEach(VI a, VI b, VI c, std::uint32_t bits) {
    const VI m = set32(bits);
    return _mm512_mask_test_epi32_mask(_mm512_mask_test_epi32_mask(_mm512_test_epi32_mask(a, m), b, m), c, m);
  }
  // Byte n of each 32-bit lane by a shuffle (an index of 0xFF gives 0).
  template <int n>
  static VI byteOfEachWord(VI a) {
    const int k = static_cast<int>(0xFFFFFF00u | n);
    return _mm512_shuffle_epi8(a, _mm512_set4_epi32(k + 12, k + 8, k + 4, k));
  }
  // The lanes in `lanes` into p, the others left as they are.
  static void storeLanes(std::uint8_t* p, __mmask16 lanes, VI v) { _mm512_mask_storeu_epi32(p, lanes, v); }
  // The lanes not in `lanes`, in order, to list[0 …] (a whole vector is
  // written there); returns how many.
  static unsigned appendOtherLanes(std::uint32_t* list, __mmask16 lanes, VI v) {
    const __mmask16 others = _knot_mask16(lanes);
    _mm512_storeu_si512(list, _mm512_maskz_compress_epi32(others, v));
    return static_cast<unsigned>(__builtin_popcount(_cvtmask16_u32(others)));
  }
  // Bit by bit: ifSet where mask has a 1, else otherwise.
  static VI select(VI mask, VI ifSet, VI otherwise) { return _mm512_ternarylogic_epi32(ifSet, otherwise, mask, 0xE4); }
  using HI = __m256i;
  static HI loadHalf(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void storeHalf(std::uint8_t* p, HI v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static HI andH(HI a, HI b) { return _mm256_and_si256(a, b); }
  static HI orH(HI a, HI b) { return _mm256_or_si256(a, b); }
  static HI setH(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static HI srliH(HI a, int n) { return _mm256_srli_epi32(a, n); }
  static HI slliH(HI a, int n) { return _mm256_slli_epi32(a, n); }
  static VD toDoubles(HI v) { return _mm512_cvtepi32_pd(v); }
  static HI truncateD(VD v) { return _mm512_cvttpd_epi32(v); }
};

}  // namespace tessaly::simd
