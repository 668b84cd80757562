// PixelLanes for AVX-512: 16 pixels a vector, masks in mask registers (see
// pixel_lanes.h). Included only by units compiled for AVX-512 (F alone).
#pragma once

#include "filters/simd/pixel_lanes.h"

#include <immintrin.h>

#include <cstdint>

namespace tessaly::simd {

struct Avx512;

template <>
struct PixelLanes<Avx512> {
  static constexpr unsigned kPixels = 16;
  static constexpr bool kFusedMultiplyAdd = true;
  using V = __m512i;
  using VF = __m512;
  using VD = __m512d;
  using Mask = __mmask16;

  static V load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
  static void store(std::uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
  static V set(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
  static V count() { return _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15); }
  static V bitAnd(V a, V b) { return _mm512_and_si512(a, b); }
  static V bitOr(V a, V b) { return _mm512_or_si512(a, b); }
  static V bitXor(V a, V b) { return _mm512_xor_si512(a, b); }
  template <int n>
  static V shiftLeft(V a) { return _mm512_slli_epi32(a, n); }
  template <int n>
  static V shiftRight(V a) { return _mm512_srli_epi32(a, n); }

  static Mask equal(V a, V b) { return _mm512_cmpeq_epi32_mask(a, b); }
  static bool any(Mask m) { return m != 0; }
  static bool all(Mask m) { return m == 0xFFFF; }
  static V select(Mask m, V ifTrue, V ifFalse) { return _mm512_mask_blend_epi32(m, ifFalse, ifTrue); }
  static Mask maskAnd(Mask a, Mask b) { return static_cast<Mask>(a & b); }
  static Mask maskOr(Mask a, Mask b) { return static_cast<Mask>(a | b); }
  static Mask maskAndNot(Mask a, Mask b) { return static_cast<Mask>(a & ~b); }

  static VF toFloat(V v) { return _mm512_cvtepi32_ps(v); }
  static V truncate(VF v) { return _mm512_cvttps_epi32(v); }
  static VF setF(float v) { return _mm512_set1_ps(v); }
  static VF add(VF a, VF b) { return _mm512_add_ps(a, b); }
  static VF sub(VF a, VF b) { return _mm512_sub_ps(a, b); }
  static VF mul(VF a, VF b) { return _mm512_mul_ps(a, b); }
  // a b rounded toward minus infinity (the rounding held in the instruction).
  static VF mulRoundingDown(VF a, VF b) { return _mm512_mul_round_ps(a, b, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
  static VF div(VF a, VF b) { return _mm512_div_ps(a, b); }
  // As minps and maxps: the second operand where either is NaN.
  static VF min(VF a, VF b) { return _mm512_min_ps(a, b); }
  static VF max(VF a, VF b) { return _mm512_max_ps(a, b); }
  static VF sqrt(VF a) { return _mm512_sqrt_ps(a); }
  static VF fusedMulAdd(VF a, VF b, VF c) { return _mm512_fmadd_ps(a, b, c); }
  static VF fusedMulSub(VF a, VF b, VF c) { return _mm512_fmsub_ps(a, b, c); }
  static VF fusedNegMulAdd(VF a, VF b, VF c) { return _mm512_fnmadd_ps(a, b, c); }
  static VF roundToInteger(VF a) { return _mm512_roundscale_ps(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
  static VF reciprocalEstimate(VF a) { return _mm512_rcp14_ps(a); }  // relative error below 2^-14
  static V bitsOf(VF a) { return _mm512_castps_si512(a); }
  static VF floatOf(V bits) { return _mm512_castsi512_ps(bits); }
  static V sub32(V a, V b) { return _mm512_sub_epi32(a, b); }
  static Mask less(VF a, VF b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
  static Mask lessEqual(VF a, VF b) { return _mm512_cmp_ps_mask(a, b, _CMP_LE_OQ); }
  static Mask greater(VF a, VF b) { return _mm512_cmp_ps_mask(a, b, _CMP_GT_OQ); }
  static Mask notEqual(VF a, VF b) { return _mm512_cmp_ps_mask(a, b, _CMP_NEQ_UQ); }
  static VF selectF(Mask m, VF ifTrue, VF ifFalse) { return _mm512_mask_blend_ps(m, ifFalse, ifTrue); }

  static VD setD(double v) { return _mm512_set1_pd(v); }
  static VD addD(VD a, VD b) { return _mm512_add_pd(a, b); }
  static VD mulD(VD a, VD b) { return _mm512_mul_pd(a, b); }
  static VD divD(VD a, VD b) { return _mm512_div_pd(a, b); }
  static VD countD() { return _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7); }
  // AVX-512F moves halves as 4 doubles, whatever they hold.
  // Whether any double lies within 8 units in its last place of a midpoint
  // between two floats (its 29 bits below single precision near 2^28): only
  // there can a double that close to it round to another float.
  static bool nearFloatMidpoint(VD a, VD b) {
    const __m512i field = _mm512_set1_epi64(0x1FFFFFFF), low = _mm512_set1_epi64(0x10000000 - 8);
    const __m512i da = _mm512_sub_epi64(_mm512_and_si512(_mm512_castpd_si512(a), field), low);
    const __m512i db = _mm512_sub_epi64(_mm512_and_si512(_mm512_castpd_si512(b), field), low);
    const __m512i range = _mm512_set1_epi64(17);
    return (_mm512_cmplt_epu64_mask(da, range) | _mm512_cmplt_epu64_mask(db, range)) != 0;
  }
  static VF narrow(VD low, VD high) {
    const __m512d lowHalf = _mm512_castps_pd(_mm512_castps256_ps512(_mm512_cvtpd_ps(low)));
    return _mm512_castpd_ps(_mm512_insertf64x4(lowHalf, _mm256_castps_pd(_mm512_cvtpd_ps(high)), 1));
  }
  static void widen(VF v, VD& low, VD& high) {
    low = _mm512_cvtps_pd(_mm512_castps512_ps256(v));
    high = _mm512_cvtps_pd(_mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(v), 1)));
  }

  static V bitAndNot(V a, V b) { return _mm512_andnot_si512(b, a); }  // a and not b
  static V shiftRightBy(V a, unsigned n) { return _mm512_srl_epi32(a, _mm_cvtsi32_si128(static_cast<int>(n))); }
  static V reverse(V v) {
    return _mm512_permutexvar_epi32(_mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0), v);
  }
  static V permute(V v, V index) { return _mm512_permutexvar_epi32(index, v); }
  static void stream(std::uint8_t* p, V v) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v); }
  static void fence() { _mm_sfence(); }
  static VF loadF(const float* p) { return _mm512_loadu_ps(p); }
  static void storeF(float* p, VF v) { _mm512_storeu_ps(p, v); }
  // Lane i takes the word at base + 4 * index[i].
  static V gather(const std::uint8_t* base, V index) { return _mm512_i32gather_epi32(index, base, 4); }
  // Lane i takes lane index[i] of a followed by b (index below 32).
  static V permute2(V a, V b, V index) { return _mm512_permutex2var_epi32(a, index, b); }
};

}  // namespace tessaly::simd
