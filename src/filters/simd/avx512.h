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
};

}  // namespace tessaly::simd
