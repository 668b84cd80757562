// The AVX2 (with FMA) form of the vector operations in simd_sse2.h: one chunk
// is 32 bytes. Included only by the kernel unit compiled for AVX2, which runs
// only when the processor reports AVX2 and FMA.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace tessaly::simd {

struct Avx2 {
  static constexpr unsigned kChunk = 32;
  using VI = __m256i;
  using VF = __m256;
  using VD = __m256d;

  static VI load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void store(std::uint8_t* p, VI v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static VI zero() { return _mm256_setzero_si256(); }

  static __m128i load16(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static __m128i load8(const std::uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
  static __m128i load4(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
  }

  static VI set16(std::uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
  static VI add16(VI a, VI b) { return _mm256_add_epi16(a, b); }
  static VI sub16(VI a, VI b) { return _mm256_sub_epi16(a, b); }
  static VI mullo16(VI a, VI b) { return _mm256_mullo_epi16(a, b); }
  static VI mulhi16(VI a, VI b) { return _mm256_mulhi_epu16(a, b); }
  static VI srl16(VI a, __m128i count) { return _mm256_srl_epi16(a, count); }

  // 16-bit lanes as the paste formulas use them (see sse2.h).
  static VI srli16(VI a, int n) { return _mm256_srli_epi16(a, n); }
  static VI slli16(VI a, int n) { return _mm256_slli_epi16(a, n); }
  static VI cmpeq16(VI a, VI b) { return _mm256_cmpeq_epi16(a, b); }
  static VI cmpgt16(VI a, VI b) { return _mm256_cmpgt_epi16(a, b); }
  static VI min16(VI a, VI b) { return _mm256_min_epi16(a, b); }
  static VI max16(VI a, VI b) { return _mm256_max_epi16(a, b); }
  static VI select(VI mask, VI ifSet, VI otherwise) { return _mm256_blendv_epi8(otherwise, ifSet, mask); }
  static VI alphaOfEachPixel16(VI v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF); }
  static VI withAlphaLanesOf(VI colour, VI alpha) { return _mm256_blend_epi16(colour, alpha, 0x88); }
  static void interleave16(VI a, VI b, VI out[2]) {
    out[0] = _mm256_unpacklo_epi16(a, b);
    out[1] = _mm256_unpackhi_epi16(a, b);
  }
  static VI packSigned32(VI lo, VI hi) { return _mm256_packs_epi32(lo, hi); }

  static void widen32(const std::uint8_t* p, VI out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = _mm256_cvtepu8_epi32(load8(p + 8 * i));
  }
  static VI narrow32(const VI in[4]) {
    const VI packed = _mm256_packus_epi16(_mm256_packs_epi32(in[0], in[1]), _mm256_packs_epi32(in[2], in[3]));
    return _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
  }
  static void widen16to32(VI v, VI out[2]) {
    out[0] = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(v));
    out[1] = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(v, 1));
  }
  static VI add32(VI a, VI b) { return _mm256_add_epi32(a, b); }
  static VI sub32(VI a, VI b) { return _mm256_sub_epi32(a, b); }
  static VI set32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static VI truncate(VF v) { return _mm256_cvttps_epi32(v); }
  static VF toFloat(VI v) { return _mm256_cvtepi32_ps(v); }
  static VF mul(VF a, VF b) { return _mm256_mul_ps(a, b); }
  static VF setF(float v) { return _mm256_set1_ps(v); }

  // Bytes to doubles without a conversion instruction (those are slow here):
  // a byte b placed in the mantissa of 2^52 gives 2^52 + b exactly.
  static void widenD(const std::uint8_t* p, VD out[8]) {
    const VI exponent = _mm256_set1_epi64x(0x4330000000000000);
    const VD offset = _mm256_set1_pd(0x1p52);
    for (int i = 0; i < 8; ++i)
      out[i] = _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(_mm256_cvtepu8_epi64(load4(p + 4 * i)), exponent)),
                             offset);
  }
  // Truncates toward zero into 32 bits, then each to 0 … 255 (below 0 as 0,
  // above 255 as 255: the packs saturate).
  static VI truncateToBytesLimited(const VD in[8]) {
    VI q[4];
    for (int i = 0; i < 4; ++i)
      q[i] = _mm256_set_m128i(_mm256_cvttpd_epi32(in[2 * i + 1]), _mm256_cvttpd_epi32(in[2 * i]));
    return narrow32(q);
  }
  static VI truncateLowBytes(const VD in[8]) {
    VI q[4];
    for (int i = 0; i < 4; ++i)
      q[i] = _mm256_set_m128i(_mm256_cvttpd_epi32(in[2 * i + 1]), _mm256_cvttpd_epi32(in[2 * i]));
    const VI low = _mm256_set1_epi32(0xFF);
    for (auto& v : q) v = _mm256_and_si256(v, low);
    return narrow32(q);
  }
  // Floats: a chunk is 4 vectors of 8.
  static void widenF(const std::uint8_t* p, VF out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(load8(p + 8 * i)));
  }
  static void storeF(float* p, VF v) { _mm256_storeu_ps(p, v); }
  static VF addF(VF a, VF b) { return _mm256_add_ps(a, b); }
  static VF mulAddF(VF a, VF b, VF c) { return _mm256_fmadd_ps(a, b, c); }
  static VI andI(VI a, VI b) { return _mm256_and_si256(a, b); }
  static void toDoubles(VF v, VD out[2]) {
    out[0] = _mm256_cvtps_pd(_mm256_castps256_ps128(v));
    out[1] = _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1));
  }
  static constexpr int kFloatLanes = 8;
  static VD setD(double v) { return _mm256_set1_pd(v); }
  static VD loadD(const double* p) { return _mm256_loadu_pd(p); }
  static void storeD(double* p, VD v) { _mm256_storeu_pd(p, v); }
  static VD add(VD a, VD b) { return _mm256_add_pd(a, b); }
  static VD min(VD a, VD b) { return _mm256_min_pd(a, b); }
  static VD max(VD a, VD b) { return _mm256_max_pd(a, b); }
  static VD sub(VD a, VD b) { return _mm256_sub_pd(a, b); }
  static VD mul(VD a, VD b) { return _mm256_mul_pd(a, b); }
  static VD div(VD a, VD b) { return _mm256_div_pd(a, b); }
  static VD mulAdd(VD a, VD b, VD c) { return _mm256_fmadd_pd(a, b, c); }
  static VD roundToFloat(VD v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }
  static VD fraction(VD v) { return _mm256_sub_pd(v, _mm256_round_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)); }
  static int anyLess(VD a, VD b) { return _mm256_movemask_pd(_mm256_cmp_pd(a, b, _CMP_LT_OQ)); }
  static constexpr int kDoubleLanes = 4;

  // Running sums along a row (see simd_sse2.h). A chunk of a row in 16-bit
  // lanes without crossing the 128-bit halves: out[0] holds pixels 0, 1, 4, 5
  // and out[1] pixels 2, 3, 6, 7.
  static void widenRow16(const std::uint8_t* p, VI out[2]) {
    const VI v = load(p);
    out[0] = _mm256_unpacklo_epi8(v, zero());
    out[1] = _mm256_unpackhi_epi8(v, zero());
  }
  // entering − leaving byte by byte, in the order of widenRow16: the bytes
  // are paired and multiplied by (1, −1), which needs no widening first.
  static void rowDifferences16(const std::uint8_t* entering, const std::uint8_t* leaving, VI d[2]) {
    const VI in = load(entering), out = load(leaving);
    const VI signs = _mm256_set1_epi16(static_cast<short>(0xFF01));  // bytes 1, −1
    d[0] = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(in, out), signs);
    d[1] = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(in, out), signs);
  }
  // Running sums of the differences of a chunk in that order, plus `before`
  // (the sum before the chunk in every pixel's lanes), which moves on.
  static void rowSums16(const VI d[2], VI& before, VI s[2]) {
    const VI low = _mm256_add_epi16(d[0], _mm256_slli_si256(d[0], 8));
    VI high = _mm256_add_epi16(d[1], _mm256_slli_si256(d[1], 8));
    high = _mm256_add_epi16(high, _mm256_unpackhi_epi64(low, low));
    const VI halfTotal = _mm256_unpackhi_epi64(high, high);
    const VI carry = _mm256_permute2x128_si256(halfTotal, halfTotal, 0x08);
    high = _mm256_add_epi16(high, carry);
    s[0] = _mm256_add_epi16(_mm256_add_epi16(low, carry), before);
    s[1] = _mm256_add_epi16(high, before);
    before = _mm256_add_epi16(before, _mm256_permute4x64_epi64(high, 0xFF));
  }
  // Bytes of the chunk from 16-bit results in that order.
  static VI narrowRow16(VI lo, VI hi) { return _mm256_packus_epi16(lo, hi); }
  // The same values in pixel order.
  static void rowToPixelOrder16(VI s[2]) {
    const VI a = _mm256_permute2x128_si256(s[0], s[1], 0x20), b = _mm256_permute2x128_si256(s[0], s[1], 0x31);
    s[0] = a;
    s[1] = b;
  }
  // 32-bit lanes: a vector holds 2 pixels.
  static VI prefix32(VI v) { return _mm256_add_epi32(v, _mm256_permute2x128_si256(v, v, 0x08)); }
  static VI lastPixel32(VI v) { return _mm256_permute2x128_si256(v, v, 0x11); }
  static VI repeat64(std::uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
  static VI repeat128(const std::uint32_t v[4]) {
    const __m128i q = _mm_setr_epi32(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                                     static_cast<int>(v[3]));
    return _mm256_set_m128i(q, q);
  }
  static VF loadF(const float* p) { return _mm256_loadu_ps(p); }
  static VI loadI(const std::uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

  // 8 × 8 pixels: row k of src (srcStride apart) becomes column k of dst.
  static void transposeBlock(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                             std::ptrdiff_t dstStride) {
    VI r[8], t[8], u[8];
    for (int k = 0; k < 8; ++k) r[k] = load(src + k * srcStride);
    for (int k = 0; k < 8; k += 2) {
      t[k] = _mm256_unpacklo_epi32(r[k], r[k + 1]);
      t[k + 1] = _mm256_unpackhi_epi32(r[k], r[k + 1]);
    }
    for (int k = 0; k < 8; k += 4) {
      u[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
      u[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
      u[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
      u[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
    }
    for (int k = 0; k < 4; ++k) {
      store(dst + k * dstStride, _mm256_permute2x128_si256(u[k], u[k + 4], 0x20));
      store(dst + (k + 4) * dstStride, _mm256_permute2x128_si256(u[k], u[k + 4], 0x31));
    }
  }

  // Pixel words, 8 to a vector (the point filters).
  static VI orI(VI a, VI b) { return _mm256_or_si256(a, b); }
  static VI xorI(VI a, VI b) { return _mm256_xor_si256(a, b); }
  static VI slli32(VI a, int n) { return _mm256_slli_epi32(a, n); }
  static VI srlv32(VI a, VI counts) { return _mm256_srlv_epi32(a, counts); }
  static VI mullo32(VI a, VI b) { return _mm256_mullo_epi32(a, b); }
  static VI minU32(VI a, VI b) { return _mm256_min_epu32(a, b); }
  static VI maxU8(VI a, VI b) { return _mm256_max_epu8(a, b); }
  static VI minU8(VI a, VI b) { return _mm256_min_epu8(a, b); }
  static VI madd16(VI a, VI b) { return _mm256_madd_epi16(a, b); }
  static VI selectIfLessU32(VI a, VI b, VI ifLess, VI otherwise) {
    const VI bias = set32(0x80000000u);
    return select(_mm256_cmpgt_epi32(_mm256_xor_si256(b, bias), _mm256_xor_si256(a, bias)), ifLess, otherwise);
  }
  static std::uint32_t lanesWithSomeInEach(VI a, VI b, VI c, std::uint32_t bits) {
    const VI m = set32(bits);
    const auto none = [&](VI v) { return _mm256_cmpeq_epi32(_mm256_and_si256(v, m), zero()); };
    const VI anyNone = _mm256_or_si256(_mm256_or_si256(none(a), none(b)), none(c));
    return static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(anyNone))) ^ 0xFFu;
  }
  // Byte n of each 32-bit lane by a shuffle (an index of 0xFF gives 0).
  template <int n>
  static VI byteOfEachWord(VI a) {
    const int k = static_cast<int>(0xFFFFFF00u | n);
    return _mm256_shuffle_epi8(a, _mm256_setr_epi32(k, k + 4, k + 8, k + 12, k, k + 4, k + 8, k + 12));
  }
  using HI = __m128i;
  static HI loadHalf(const std::uint8_t* p) { return load16(p); }
  static void storeHalf(std::uint8_t* p, HI v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static HI andH(HI a, HI b) { return _mm_and_si128(a, b); }
  static HI orH(HI a, HI b) { return _mm_or_si128(a, b); }
  static HI setH(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static HI srliH(HI a, int n) { return _mm_srli_epi32(a, n); }
  static HI slliH(HI a, int n) { return _mm_slli_epi32(a, n); }
  static VD toDoubles(HI v) { return _mm256_cvtepi32_pd(v); }
  static HI truncateD(VD v) { return _mm256_cvttpd_epi32(v); }
};

}  // namespace tessaly::simd
