// PixelLanes for AVX2 with FMA: 8 pixels a vector (see pixel_lanes.h).
// Included only by units compiled for AVX2.
#pragma once

#include "filters/simd/pixel_lanes.h"

#include <immintrin.h>

#include <cstdint>

namespace tessaly::simd {

struct Avx2;

template <>
struct PixelLanes<Avx2> {
  static constexpr unsigned kPixels = 8;
  static constexpr bool kFusedMultiplyAdd = true;
  using V = __m256i;
  using VF = __m256;
  using VD = __m256d;
  using Mask = __m256i;

  static V load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void store(std::uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static V set(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static V count() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }
  static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
  static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
  static V bitXor(V a, V b) { return _mm256_xor_si256(a, b); }
  template <int n>
  static V shiftLeft(V a) { return _mm256_slli_epi32(a, n); }
  template <int n>
  static V shiftRight(V a) { return _mm256_srli_epi32(a, n); }

  static Mask equal(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
  static bool any(Mask m) { return !_mm256_testz_si256(m, m); }
  static bool all(Mask m) { return _mm256_movemask_epi8(m) == -1; }
  static V select(Mask m, V ifTrue, V ifFalse) { return _mm256_blendv_epi8(ifFalse, ifTrue, m); }
  static Mask maskAnd(Mask a, Mask b) { return _mm256_and_si256(a, b); }
  static Mask maskOr(Mask a, Mask b) { return _mm256_or_si256(a, b); }
  static Mask maskAndNot(Mask a, Mask b) { return _mm256_andnot_si256(b, a); }

  static VF toFloat(V v) { return _mm256_cvtepi32_ps(v); }
  static V truncate(VF v) { return _mm256_cvttps_epi32(v); }
  static VF setF(float v) { return _mm256_set1_ps(v); }
  static VF add(VF a, VF b) { return _mm256_add_ps(a, b); }
  static VF sub(VF a, VF b) { return _mm256_sub_ps(a, b); }
  static VF mul(VF a, VF b) { return _mm256_mul_ps(a, b); }
  static VF div(VF a, VF b) { return _mm256_div_ps(a, b); }
  static VF min(VF a, VF b) { return _mm256_min_ps(a, b); }
  static VF max(VF a, VF b) { return _mm256_max_ps(a, b); }
  static VF sqrt(VF a) { return _mm256_sqrt_ps(a); }
  static VF fusedMulAdd(VF a, VF b, VF c) { return _mm256_fmadd_ps(a, b, c); }
  static VF fusedMulSub(VF a, VF b, VF c) { return _mm256_fmsub_ps(a, b, c); }
  static VF fusedNegMulAdd(VF a, VF b, VF c) { return _mm256_fnmadd_ps(a, b, c); }
  static VF roundToInteger(VF a) { return _mm256_round_ps(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
  static VF reciprocalEstimate(VF a) { return _mm256_rcp_ps(a); }  // relative error below 1.5 × 2^-12
  static V bitsOf(VF a) { return _mm256_castps_si256(a); }
  static VF floatOf(V bits) { return _mm256_castsi256_ps(bits); }
  static V sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
  static Mask less(VF a, VF b) { return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_LT_OQ)); }
  static Mask lessEqual(VF a, VF b) { return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_LE_OQ)); }
  static Mask greater(VF a, VF b) { return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_GT_OQ)); }
  static Mask notEqual(VF a, VF b) { return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_NEQ_UQ)); }
  static VF selectF(Mask m, VF ifTrue, VF ifFalse) { return _mm256_blendv_ps(ifFalse, ifTrue, _mm256_castsi256_ps(m)); }

  static VD setD(double v) { return _mm256_set1_pd(v); }
  static VD addD(VD a, VD b) { return _mm256_add_pd(a, b); }
  static VD mulD(VD a, VD b) { return _mm256_mul_pd(a, b); }
  static VD divD(VD a, VD b) { return _mm256_div_pd(a, b); }
  static VD countD() { return _mm256_setr_pd(0, 1, 2, 3); }
  // Whether any double lies within 8 units in its last place of a midpoint
  // between two floats (its 29 bits below single precision near 2^28): only
  // there can a double that close to it round to another float.
  static bool nearFloatMidpoint(VD a, VD b) {
    const __m256i field = _mm256_set1_epi64x(0x1FFFFFFF), low = _mm256_set1_epi64x(0x10000000 - 8);
    const __m256i da = _mm256_sub_epi64(_mm256_and_si256(_mm256_castpd_si256(a), field), low);
    const __m256i db = _mm256_sub_epi64(_mm256_and_si256(_mm256_castpd_si256(b), field), low);
    const __m256i range = _mm256_set1_epi64x(17), minus = _mm256_set1_epi64x(-1);
    const __m256i inA = _mm256_and_si256(_mm256_cmpgt_epi64(da, minus), _mm256_cmpgt_epi64(range, da));
    const __m256i inB = _mm256_and_si256(_mm256_cmpgt_epi64(db, minus), _mm256_cmpgt_epi64(range, db));
    const __m256i in = _mm256_or_si256(inA, inB);
    return !_mm256_testz_si256(in, in);
  }
  static VF narrow(VD low, VD high) { return _mm256_set_m128(_mm256_cvtpd_ps(high), _mm256_cvtpd_ps(low)); }
  static void widen(VF v, VD& low, VD& high) {
    low = _mm256_cvtps_pd(_mm256_castps256_ps128(v));
    high = _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1));
  }

  static V bitAndNot(V a, V b) { return _mm256_andnot_si256(b, a); }  // a and not b
  static V shiftRightBy(V a, unsigned n) { return _mm256_srl_epi32(a, _mm_cvtsi32_si128(static_cast<int>(n))); }
  static V reverse(V v) { return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0)); }
  static V permute(V v, V index) { return _mm256_permutevar8x32_epi32(v, index); }
  static void stream(std::uint8_t* p, V v) { _mm256_stream_si256(reinterpret_cast<__m256i*>(p), v); }
  static void fence() { _mm_sfence(); }
  static VF loadF(const float* p) { return _mm256_loadu_ps(p); }
  static void storeF(float* p, VF v) { _mm256_storeu_ps(p, v); }
  // Lane i takes the word at base + 4 * index[i].
  static V gather(const std::uint8_t* base, V index) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), index, 4);
  }
  // Lane i takes lane index[i] of a followed by b (index below 16).
  static V permute2(V a, V b, V index) {
    const V fromB = _mm256_cmpgt_epi32(index, _mm256_set1_epi32(7));
    return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(a, index), _mm256_permutevar8x32_epi32(b, index), fromB);
  }
};

}  // namespace tessaly::simd
