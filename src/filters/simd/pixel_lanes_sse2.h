// PixelLanes for SSE2: 4 pixels a vector (see pixel_lanes.h).
#pragma once

#include "filters/simd/pixel_lanes.h"

#include <emmintrin.h>

#include <cstdint>

namespace tessaly::simd {

struct Sse2;

template <>
struct PixelLanes<Sse2> {
  static constexpr unsigned kPixels = 4;
  static constexpr bool kFusedMultiplyAdd = false;
  using V = __m128i;
  using VF = __m128;
  using VD = __m128d;
  using Mask = __m128i;

  static V load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void store(std::uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static V set(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static V count() { return _mm_setr_epi32(0, 1, 2, 3); }
  static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
  static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
  static V bitXor(V a, V b) { return _mm_xor_si128(a, b); }
  template <int n>
  static V shiftLeft(V a) { return _mm_slli_epi32(a, n); }
  template <int n>
  static V shiftRight(V a) { return _mm_srli_epi32(a, n); }

  static Mask equal(V a, V b) { return _mm_cmpeq_epi32(a, b); }
  static bool any(Mask m) { return _mm_movemask_epi8(m) != 0; }
  static bool all(Mask m) { return _mm_movemask_epi8(m) == 0xFFFF; }
  static V select(Mask m, V ifTrue, V ifFalse) {
    return _mm_or_si128(_mm_and_si128(m, ifTrue), _mm_andnot_si128(m, ifFalse));
  }
  static Mask maskAnd(Mask a, Mask b) { return _mm_and_si128(a, b); }
  static Mask maskOr(Mask a, Mask b) { return _mm_or_si128(a, b); }
  static Mask maskAndNot(Mask a, Mask b) { return _mm_andnot_si128(b, a); }  // a and not b

  static VF toFloat(V v) { return _mm_cvtepi32_ps(v); }
  static V truncate(VF v) { return _mm_cvttps_epi32(v); }
  static VF setF(float v) { return _mm_set1_ps(v); }
  static VF add(VF a, VF b) { return _mm_add_ps(a, b); }
  static VF sub(VF a, VF b) { return _mm_sub_ps(a, b); }
  static VF mul(VF a, VF b) { return _mm_mul_ps(a, b); }
  static VF div(VF a, VF b) { return _mm_div_ps(a, b); }
  static VF min(VF a, VF b) { return _mm_min_ps(a, b); }
  static VF max(VF a, VF b) { return _mm_max_ps(a, b); }
  static VF sqrt(VF a) { return _mm_sqrt_ps(a); }
  static Mask less(VF a, VF b) { return _mm_castps_si128(_mm_cmplt_ps(a, b)); }
  static Mask lessEqual(VF a, VF b) { return _mm_castps_si128(_mm_cmple_ps(a, b)); }
  static Mask greater(VF a, VF b) { return _mm_castps_si128(_mm_cmpgt_ps(a, b)); }
  static Mask notEqual(VF a, VF b) { return _mm_castps_si128(_mm_cmpneq_ps(a, b)); }
  static VF selectF(Mask m, VF ifTrue, VF ifFalse) {
    const VF f = _mm_castsi128_ps(m);
    return _mm_or_ps(_mm_and_ps(f, ifTrue), _mm_andnot_ps(f, ifFalse));
  }

  static VD setD(double v) { return _mm_set1_pd(v); }
  static VD addD(VD a, VD b) { return _mm_add_pd(a, b); }
  static VD mulD(VD a, VD b) { return _mm_mul_pd(a, b); }
  static VD divD(VD a, VD b) { return _mm_div_pd(a, b); }
  static VD countD() { return _mm_setr_pd(0, 1); }
  // Whether any double lies within 8 units in its last place of a midpoint
  // between two floats (its 29 bits below single precision near 2^28): only
  // there can a double that close to it round to another float.
  static bool nearFloatMidpoint(VD a, VD b) {
    // The fields lie in the low halves; the high halves become 0 - low, never in range.
    const __m128i field = _mm_set1_epi64x(0x1FFFFFFF), low = _mm_set1_epi32(0x10000000 - 8);
    const __m128i da = _mm_sub_epi32(_mm_and_si128(_mm_castpd_si128(a), field), low);
    const __m128i db = _mm_sub_epi32(_mm_and_si128(_mm_castpd_si128(b), field), low);
    const __m128i range = _mm_set1_epi32(17), minus = _mm_set1_epi32(-1);
    const __m128i inA = _mm_and_si128(_mm_cmpgt_epi32(da, minus), _mm_cmplt_epi32(da, range));
    const __m128i inB = _mm_and_si128(_mm_cmpgt_epi32(db, minus), _mm_cmplt_epi32(db, range));
    return _mm_movemask_epi8(_mm_or_si128(inA, inB)) != 0;
  }
  static VF narrow(VD low, VD high) { return _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)); }
  static void widen(VF v, VD& low, VD& high) {
    low = _mm_cvtps_pd(v);
    high = _mm_cvtps_pd(_mm_movehl_ps(v, v));
  }

  static V bitAndNot(V a, V b) { return _mm_andnot_si128(b, a); }  // a and not b
  static V shiftRightBy(V a, unsigned n) { return _mm_srl_epi32(a, _mm_cvtsi32_si128(static_cast<int>(n))); }
  static V reverse(V v) { return _mm_shuffle_epi32(v, 0x1B); }
  static void stream(std::uint8_t* p, V v) { _mm_stream_si128(reinterpret_cast<__m128i*>(p), v); }
  static void fence() { _mm_sfence(); }
  static VF loadF(const float* p) { return _mm_loadu_ps(p); }
  static void storeF(float* p, VF v) { _mm_storeu_ps(p, v); }
};

}  // namespace tessaly::simd
