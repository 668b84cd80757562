// The linear stepped sampler eight pixels a step in AVX-512 (F and BW), for
// processors that have it: the AVX2 kernel's arithmetic on twice the lanes,
// with registers enough to keep every weight in one.

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "d3d9/raster/stepped_samplers.h"

#include <immintrin.h>

namespace swd3d::raster {

namespace {

#define SWD3D_AVX512 __attribute__((target("avx512f,avx512bw")))

SWD3D_AVX512 inline __m512i eightSteps(std::int64_t start, std::int64_t step) {
  return _mm512_set_epi64(start + 7 * step, start + 6 * step, start + 5 * step, start + 4 * step,
                          start + 3 * step, start + 2 * step, start + step, start);
}

// linearPosition for coordinates whose first texel is not negative (see the
// AVX2 kernel).
SWD3D_AVX512 inline __m512i linearPositions(__m512i fixed) {
  const __m512i odd = _mm512_and_si512(_mm512_srli_epi64(fixed, 24), _mm512_set1_epi64(1));
  const __m512i bias = _mm512_set1_epi64(0x7FFFFF - (std::int64_t{128} << 24));
  return _mm512_srli_epi64(_mm512_add_epi64(_mm512_add_epi64(fixed, bias), odd), 24);
}

SWD3D_AVX512 inline __m512i spread(__m512i values) {
  return _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(values, 0), 0);
}

// One pixel in each 128-bit lane, as the AVX2 kernel's bilinearHalves.
SWD3D_AVX512 inline __m512i bilinearLanes(__m512i top, __m512i bottom, __m512i weightU,
                                          __m512i weightV) {
  const __m512i rounding = _mm512_set1_epi16(128);
  const __m512i topProducts = _mm512_mullo_epi16(top, weightU);
  const __m512i bottomProducts = _mm512_mullo_epi16(bottom, weightU);
  const __m512i topSum = _mm512_add_epi16(topProducts, _mm512_bsrli_epi128(topProducts, 8));
  const __m512i bottomSum =
      _mm512_add_epi16(bottomProducts, _mm512_bsrli_epi128(bottomProducts, 8));
  const __m512i rows =
      _mm512_srli_epi16(_mm512_add_epi16(_mm512_unpacklo_epi64(topSum, bottomSum), rounding), 8);
  const __m512i products = _mm512_mullo_epi16(rows, weightV);
  const __m512i sum = _mm512_add_epi16(products, _mm512_bsrli_epi128(products, 8));
  return _mm512_srli_epi16(_mm512_add_epi16(sum, rounding), 8);
}

// The texel pairs at eight byte offsets from base, two pixels a lane.
SWD3D_AVX512 inline __m512i eightPairs(const std::uint8_t* base, const std::int64_t (&at)[8]) {
  const auto two = [base, &at](int k) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + at[k])),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + at[k + 1])));
  };
  const __m256i low = _mm256_inserti128_si256(_mm256_castsi128_si256(two(0)), two(2), 1);
  const __m256i high = _mm256_inserti128_si256(_mm256_castsi128_si256(two(4)), two(6), 1);
  return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

}  // namespace

SWD3D_AVX512 void linearSteppedAvx512(const SamplerView& view, const TexelSteps& steps,
                                      int count, std::uint32_t* out) {
  const std::uint8_t* base = view.texels.bits;
  const __m512i pitch = _mm512_set1_epi64(view.texels.pitch);
  const __m512i weightBits = _mm512_set1_epi64(0xFF);
  const __m512i full = _mm512_set1_epi64(256);
  const __m512i zero = _mm512_setzero_si512();
  const __m512i order = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
  __m512i s = eightSteps(steps.s, steps.ds);
  __m512i t = eightSteps(steps.t, steps.dt);
  const __m512i stepS = _mm512_set1_epi64(8 * steps.ds);
  const __m512i stepT = _mm512_set1_epi64(8 * steps.dt);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m512i ks = linearPositions(s);
    const __m512i kt = linearPositions(t);
    const __m512i topOffsets =
        _mm512_add_epi64(_mm512_mul_epu32(_mm512_srli_epi64(kt, 8), pitch),
                         _mm512_slli_epi64(_mm512_srli_epi64(ks, 8), 2));
    alignas(64) std::int64_t at[8];
    _mm512_store_si512(at, topOffsets);
    const __m512i upper = eightPairs(base, at);
    const __m512i lower = eightPairs(base + view.texels.pitch, at);
    const __m512i wu = _mm512_and_si512(ks, weightBits);
    const __m512i wv = _mm512_and_si512(kt, weightBits);
    const __m512i leftU = spread(_mm512_sub_epi64(full, wu)), rightU = spread(wu);
    const __m512i leftV = spread(_mm512_sub_epi64(full, wv)), rightV = spread(wv);
    // Pixels 0, 2, 4, 6 from the low byte halves, 1, 3, 5, 7 from the high ones.
    const __m512i even = bilinearLanes(_mm512_unpacklo_epi8(upper, zero),
                                       _mm512_unpacklo_epi8(lower, zero),
                                       _mm512_unpacklo_epi64(leftU, rightU),
                                       _mm512_unpacklo_epi64(leftV, rightV));
    const __m512i odd = bilinearLanes(_mm512_unpackhi_epi8(upper, zero),
                                      _mm512_unpackhi_epi8(lower, zero),
                                      _mm512_unpackhi_epi64(leftU, rightU),
                                      _mm512_unpackhi_epi64(leftV, rightV));
    // Each lane's pixel pair as bytes in its low quadword, then the four
    // quadwords side by side.
    const __m512i bytes = _mm512_packus_epi16(_mm512_unpacklo_epi64(even, odd), zero);
    const __m512i ordered = _mm512_permutexvar_epi64(order, bytes);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm512_castsi512_si256(ordered));
    s = _mm512_add_epi64(s, stepS);
    t = _mm512_add_epi64(t, stepT);
  }
  linearStepped(view, steps.advanced(i), count - i, out + i);
}

}  // namespace swd3d::raster
