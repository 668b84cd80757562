// The AVX-512 form of the vector operations the recursive Gaussian kernel
// and the pixel-word kernels use (see sse2.h): one chunk is 64 bytes, 8
// vectors of 8 doubles. With half the instructions per value the divider
// stays busier than with AVX2.
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
  // Truncates toward zero into 32 bits and keeps each low byte (vpmovdb
  // keeps the low byte; out-of-range values truncate to INT32_MIN, low byte 0).
  static VI truncateLowBytes(const VD in[8]) {
    VI bytes = _mm512_setzero_si512();
    for (int i = 0; i < 4; ++i) {
      const VI words = _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvttpd_epi32(in[2 * i])),
                                          _mm512_cvttpd_epi32(in[2 * i + 1]), 1);
      const __m128i part = _mm512_cvtepi32_epi8(words);
      switch (i) {
        case 0: bytes = _mm512_inserti32x4(bytes, part, 0); break;
        case 1: bytes = _mm512_inserti32x4(bytes, part, 1); break;
        case 2: bytes = _mm512_inserti32x4(bytes, part, 2); break;
        default: bytes = _mm512_inserti32x4(bytes, part, 3); break;
      }
    }
    return bytes;
  }

  // Pixel words (see sse2.h): AVX-512F only, so bytes are moved by 32-bit
  // lanes.
  static constexpr unsigned kPixels = kChunk / 4;
  static void stream(std::uint8_t* p, VI v) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v); }
  static void fence() { _mm_sfence(); }
  using VF = __m512;
  static VI load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
  static VI loadI(const std::uint32_t* p) { return _mm512_loadu_si512(p); }
  static VI set32(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
  static VI sub32(VI a, VI b) { return _mm512_sub_epi32(a, b); }
  static VI andI(VI a, VI b) { return _mm512_and_si512(a, b); }
  static VI orI(VI a, VI b) { return _mm512_or_si512(a, b); }
  static VI andNotI(VI a, VI b) { return _mm512_andnot_si512(a, b); }
  static VI srl32(VI a, __m128i count) { return _mm512_srl_epi32(a, count); }
  static VI spreadLowByte(VI v) {
    v = _mm512_or_si512(v, _mm512_slli_epi32(v, 8));
    return _mm512_or_si512(v, _mm512_slli_epi32(v, 16));
  }
  static VI reversePixels(VI v) {
    return _mm512_permutexvar_epi32(_mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0), v);
  }
  static VI permutePixels(VI v, VI index) { return _mm512_permutexvar_epi32(index, v); }
  static VF loadF(const float* p) { return _mm512_loadu_ps(p); }
  static void storeF(float* p, VF v) { _mm512_storeu_ps(p, v); }
  static VF setF(float v) { return _mm512_set1_ps(v); }
  static VF mul(VF a, VF b) { return _mm512_mul_ps(a, b); }
  static VF addF(VF a, VF b) { return _mm512_add_ps(a, b); }
  static VF toFloat(VI v) { return _mm512_cvtepi32_ps(v); }
  static VI truncate(VF v) { return _mm512_cvttps_epi32(v); }
  static VI packChannels(VI blue, VI green, VI red, VI alpha) {
    const VI low = _mm512_or_si512(blue, _mm512_slli_epi32(green, 8));
    return _mm512_or_si512(low, _mm512_or_si512(_mm512_slli_epi32(red, 16), _mm512_slli_epi32(alpha, 24)));
  }
};

}  // namespace tessaly::simd
