// The SSE2 vector operations the blur kernels are written in: one chunk is 16
// bytes of pixels, widened as 2 vectors of 16-bit lanes, 4 of 32-bit lanes or
// 8 of doubles. SSE2 is the baseline of every build.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace tessaly::simd {

struct Sse2 {
  static constexpr unsigned kChunk = 16;
  using VI = __m128i;
  using VF = __m128;
  using VD = __m128d;

  static VI load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void store(std::uint8_t* p, VI v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static VI zero() { return _mm_setzero_si128(); }

  // 16-bit lanes.
  static void widen16(const std::uint8_t* p, VI out[2]) {
    const VI v = load(p);
    out[0] = _mm_unpacklo_epi8(v, zero());
    out[1] = _mm_unpackhi_epi8(v, zero());
  }
  static VI narrow16(VI lo, VI hi) { return _mm_packus_epi16(lo, hi); }
  static VI set16(std::uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
  static VI add16(VI a, VI b) { return _mm_add_epi16(a, b); }
  static VI sub16(VI a, VI b) { return _mm_sub_epi16(a, b); }
  static VI mullo16(VI a, VI b) { return _mm_mullo_epi16(a, b); }
  static VI mulhi16(VI a, VI b) { return _mm_mulhi_epu16(a, b); }
  static VI srl16(VI a, __m128i count) { return _mm_srl_epi16(a, count); }

  // 16-bit lanes as the paste formulas use them: shifts by a count, signed
  // comparisons and limits, a choice by mask, and each pixel's alpha lane (the
  // fourth of its four) repeated or put in place.
  static VI srli16(VI a, int n) { return _mm_srli_epi16(a, n); }
  static VI slli16(VI a, int n) { return _mm_slli_epi16(a, n); }
  static VI cmpeq16(VI a, VI b) { return _mm_cmpeq_epi16(a, b); }
  static VI cmpgt16(VI a, VI b) { return _mm_cmpgt_epi16(a, b); }
  static VI min16(VI a, VI b) { return _mm_min_epi16(a, b); }
  static VI max16(VI a, VI b) { return _mm_max_epi16(a, b); }
  static VI select(VI mask, VI ifSet, VI otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
  }
  static VI alphaOfEachPixel16(VI v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF); }
  static VI withAlphaLanesOf(VI colour, VI alpha) {
    return select(_mm_set1_epi64x(static_cast<long long>(0xFFFF000000000000ull)), alpha, colour);
  }
  // Pairs of 16-bit lanes as 32-bit lanes (a low, b high) within each 128-bit
  // block, and 32-bit lanes back to 16 with signed saturation, in that order.
  static void interleave16(VI a, VI b, VI out[2]) {
    out[0] = _mm_unpacklo_epi16(a, b);
    out[1] = _mm_unpackhi_epi16(a, b);
  }
  static VI packSigned32(VI lo, VI hi) { return _mm_packs_epi32(lo, hi); }

  // 32-bit lanes.
  static void widen32(const std::uint8_t* p, VI out[4]) {
    VI h[2];
    widen16(p, h);
    out[0] = _mm_unpacklo_epi16(h[0], zero());
    out[1] = _mm_unpackhi_epi16(h[0], zero());
    out[2] = _mm_unpacklo_epi16(h[1], zero());
    out[3] = _mm_unpackhi_epi16(h[1], zero());
  }
  // Lanes hold 0..255.
  static VI narrow32(const VI in[4]) {
    return _mm_packus_epi16(_mm_packs_epi32(in[0], in[1]), _mm_packs_epi32(in[2], in[3]));
  }
  static void widen16to32(VI v, VI out[2]) {
    out[0] = _mm_unpacklo_epi16(v, zero());
    out[1] = _mm_unpackhi_epi16(v, zero());
  }
  static VI add32(VI a, VI b) { return _mm_add_epi32(a, b); }
  static VI sub32(VI a, VI b) { return _mm_sub_epi32(a, b); }
  static VI set32(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static VI truncate(VF v) { return _mm_cvttps_epi32(v); }
  static VF toFloat(VI v) { return _mm_cvtepi32_ps(v); }
  static VF mul(VF a, VF b) { return _mm_mul_ps(a, b); }
  static VF setF(float v) { return _mm_set1_ps(v); }

  // Doubles: a chunk is 8 vectors of 2.
  static void widenD(const std::uint8_t* p, VD out[8]) {
    VI q[4];
    widen32(p, q);
    for (int i = 0; i < 4; ++i) {
      out[2 * i] = _mm_cvtepi32_pd(q[i]);
      out[2 * i + 1] = _mm_cvtepi32_pd(_mm_unpackhi_epi64(q[i], q[i]));
    }
  }
  // Truncates toward zero into 32 bits, then each to 0 … 255 (below 0 as 0,
  // above 255 as 255: the packs saturate).
  static VI truncateToBytesLimited(const VD in[8]) {
    VI q[4];
    for (int i = 0; i < 4; ++i) q[i] = _mm_unpacklo_epi64(_mm_cvttpd_epi32(in[2 * i]), _mm_cvttpd_epi32(in[2 * i + 1]));
    return narrow32(q);
  }
  // Truncates toward zero into 32 bits and keeps each low byte (out-of-range
  // values truncate to INT32_MIN, whose low byte is 0).
  static VI truncateLowBytes(const VD in[8]) {
    VI q[4];
    for (int i = 0; i < 4; ++i) q[i] = _mm_unpacklo_epi64(_mm_cvttpd_epi32(in[2 * i]), _mm_cvttpd_epi32(in[2 * i + 1]));
    const VI low = _mm_set1_epi32(0xFF);
    for (auto& v : q) v = _mm_and_si128(v, low);
    return narrow32(q);
  }
  // Floats: a chunk is 4 vectors of 4.
  static void widenF(const std::uint8_t* p, VF out[4]) {
    VI q[4];
    widen32(p, q);
    for (int i = 0; i < 4; ++i) out[i] = _mm_cvtepi32_ps(q[i]);
  }
  static void storeF(float* p, VF v) { _mm_storeu_ps(p, v); }
  static VF addF(VF a, VF b) { return _mm_add_ps(a, b); }
  static VF mulAddF(VF a, VF b, VF c) { return _mm_add_ps(_mm_mul_ps(a, b), c); }
  static VI andI(VI a, VI b) { return _mm_and_si128(a, b); }
  // Exact: every float is a double.
  static void toDoubles(VF v, VD out[2]) {
    out[0] = _mm_cvtps_pd(v);
    out[1] = _mm_cvtps_pd(_mm_movehl_ps(v, v));
  }
  static constexpr int kFloatLanes = 4;
  static VD setD(double v) { return _mm_set1_pd(v); }
  static VD loadD(const double* p) { return _mm_loadu_pd(p); }
  static void storeD(double* p, VD v) { _mm_storeu_pd(p, v); }
  static VD add(VD a, VD b) { return _mm_add_pd(a, b); }
  // Lane by lane; a NaN in a gives b.
  static VD min(VD a, VD b) { return _mm_min_pd(a, b); }
  static VD max(VD a, VD b) { return _mm_max_pd(a, b); }
  static VD sub(VD a, VD b) { return _mm_sub_pd(a, b); }
  static VD mul(VD a, VD b) { return _mm_mul_pd(a, b); }
  static VD div(VD a, VD b) { return _mm_div_pd(a, b); }
  // a·b + c. Without FMA this rounds twice: the kernels use it where the
  // product is exact, so both forms agree, or where their error bound covers
  // both.
  static VD mulAdd(VD a, VD b, VD c) { return _mm_add_pd(_mm_mul_pd(a, b), c); }
  static VD roundToFloat(VD v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }
  static VD fraction(VD v) { return _mm_sub_pd(v, _mm_cvtepi32_pd(_mm_cvttpd_epi32(v))); }
  static int anyLess(VD a, VD b) { return _mm_movemask_pd(_mm_cmplt_pd(a, b)); }
  static constexpr int kDoubleLanes = 2;

  // Running sums along a row: a vector holds 2 pixels of 16-bit or 1 of
  // 32-bit lanes. prefix gives each pixel the sum of its own and all earlier
  // values in the vector; lastPixel repeats the last pixel's lanes.
  static VI prefix16(VI v) { return _mm_add_epi16(v, _mm_slli_si128(v, 8)); }
  // The row form of the 16-bit chunk (see simd_avx2.h): here in pixel order.
  static void widenRow16(const std::uint8_t* p, VI out[2]) { widen16(p, out); }
  static void rowDifferences16(const std::uint8_t* entering, const std::uint8_t* leaving, VI d[2]) {
    VI in[2], out[2];
    widen16(entering, in);
    widen16(leaving, out);
    d[0] = _mm_sub_epi16(in[0], out[0]);
    d[1] = _mm_sub_epi16(in[1], out[1]);
  }
  static void rowSums16(const VI d[2], VI& before, VI s[2]) {
    const VI low = prefix16(d[0]);
    const VI high = _mm_add_epi16(prefix16(d[1]), lastPixel16(low));
    s[0] = _mm_add_epi16(low, before);
    s[1] = _mm_add_epi16(high, before);
    before = _mm_add_epi16(before, lastPixel16(high));
  }
  static VI narrowRow16(VI lo, VI hi) { return _mm_packus_epi16(lo, hi); }
  static void rowToPixelOrder16(VI[2]) {}
  static VI lastPixel16(VI v) { return _mm_unpackhi_epi64(v, v); }
  static VI prefix32(VI v) { return v; }
  static VI lastPixel32(VI v) { return v; }
  static VI repeat64(std::uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }
  static VI repeat128(const std::uint32_t v[4]) {
    return _mm_setr_epi32(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]));
  }
  static VF loadF(const float* p) { return _mm_loadu_ps(p); }
  static VI loadI(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

  // 4 × 4 pixels: row k of src (srcStride apart) becomes column k of dst.
  static void transposeBlock(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                             std::ptrdiff_t dstStride) {
    const VI r0 = load(src), r1 = load(src + srcStride), r2 = load(src + 2 * srcStride),
             r3 = load(src + 3 * srcStride);
    const VI t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
    const VI t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
    store(dst, _mm_unpacklo_epi64(t0, t1));
    store(dst + dstStride, _mm_unpackhi_epi64(t0, t1));
    store(dst + 2 * dstStride, _mm_unpacklo_epi64(t2, t3));
    store(dst + 3 * dstStride, _mm_unpackhi_epi64(t2, t3));
  }

  // Pixel words, 4 to a vector (the point filters).
  static VI orI(VI a, VI b) { return _mm_or_si128(a, b); }
  static VI xorI(VI a, VI b) { return _mm_xor_si128(a, b); }
  static VI slli32(VI a, int n) { return _mm_slli_epi32(a, n); }
  static VI maxU8(VI a, VI b) { return _mm_max_epu8(a, b); }
  static VI minU8(VI a, VI b) { return _mm_min_epu8(a, b); }
  static VI madd16(VI a, VI b) { return _mm_madd_epi16(a, b); }
  // Lane by lane: ifLess where a < b as unsigned 32-bit numbers, else otherwise.
  static VI selectIfLessU32(VI a, VI b, VI ifLess, VI otherwise) {
    const VI bias = set32(0x80000000u);
    return select(_mm_cmplt_epi32(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias)), ifLess, otherwise);
  }
  // A bit for each 32-bit lane where a, b and c each have some of the bits.
  static std::uint32_t lanesWithSomeInEach(VI a, VI b, VI c, std::uint32_t bits) {
    const VI m = set32(bits);
    const VI none = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(a, m), zero()), _mm_cmpeq_epi32(_mm_and_si128(b, m), zero())),
                                 _mm_cmpeq_epi32(_mm_and_si128(c, m), zero()));
    return static_cast<std::uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(none))) ^ 0xFu;
  }
  // Byte n of each 32-bit lane, the lane's other bytes 0.
  template <int n>
  static VI byteOfEachWord(VI a) { return _mm_and_si128(_mm_srli_epi32(a, 8 * n), set32(0xFFu)); }
  // kDoubleLanes pixel words, in 32-bit lanes that convert to and from doubles.
  using HI = __m128i;
  static HI loadHalf(const std::uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
  static void storeHalf(std::uint8_t* p, HI v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
  static HI andH(HI a, HI b) { return _mm_and_si128(a, b); }
  static HI orH(HI a, HI b) { return _mm_or_si128(a, b); }
  static HI setH(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static HI srliH(HI a, int n) { return _mm_srli_epi32(a, n); }
  static HI slliH(HI a, int n) { return _mm_slli_epi32(a, n); }
  static VD toDoubles(HI v) { return _mm_cvtepi32_pd(v); }
  static HI truncateD(VD v) { return _mm_cvttpd_epi32(v); }
};

}  // namespace tessaly::simd
