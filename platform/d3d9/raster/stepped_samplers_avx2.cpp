#include "d3d9/raster/stepped_samplers.h"

#include "d3d9/raster/texel_position.h"

#include <immintrin.h>

#include <cstring>

namespace swd3d::raster {

namespace {

#define SWD3D_AVX2 __attribute__((target("avx2")))

// Coordinates of four pixels, 64-bit lanes.
SWD3D_AVX2 inline __m256i fourSteps(std::int64_t start, std::int64_t step) {
  return _mm256_set_epi64x(start + 3 * step, start + 2 * step, start + step, start);
}

// linearPosition in 64-bit lanes, for coordinates whose first texel is not
// negative: adding 2^23 - 1 and the quotient's lowest bit before the shift
// rounds halves to even.
SWD3D_AVX2 inline __m256i linearPositions(__m256i fixed) {
  const __m256i odd = _mm256_and_si256(_mm256_srli_epi64(fixed, 24), _mm256_set1_epi64x(1));
  const __m256i bias = _mm256_set1_epi64x(0x7FFFFF - (std::int64_t{128} << 24));
  return _mm256_srli_epi64(_mm256_add_epi64(_mm256_add_epi64(fixed, bias), odd), 24);
}

// Each 64-bit lane's low 16 bits copied to its four 16-bit lanes.
SWD3D_AVX2 inline __m256i spread(__m256i values) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(values, 0), 0);
}

// One pixel in each 128-bit half: top and bottom texel pairs as 16-bit lanes
// (left texel's four channels, then the right's), weights as
// (256 - w) × 4, w × 4. Channels of the result in the low four lanes.
SWD3D_AVX2 inline __m256i bilinearHalves(__m256i top, __m256i bottom, __m256i weightU,
                                         __m256i weightV) {
  const __m256i rounding = _mm256_set1_epi16(128);
  // a × (256 - w) + b × w + 128 < 2^16: the products and sums fit 16 bits.
  const __m256i topProducts = _mm256_mullo_epi16(top, weightU);
  const __m256i bottomProducts = _mm256_mullo_epi16(bottom, weightU);
  const __m256i topSum = _mm256_add_epi16(topProducts, _mm256_bsrli_epi128(topProducts, 8));
  const __m256i bottomSum =
      _mm256_add_epi16(bottomProducts, _mm256_bsrli_epi128(bottomProducts, 8));
  const __m256i rows =
      _mm256_srli_epi16(_mm256_add_epi16(_mm256_unpacklo_epi64(topSum, bottomSum), rounding), 8);
  const __m256i products = _mm256_mullo_epi16(rows, weightV);
  const __m256i sum = _mm256_add_epi16(products, _mm256_bsrli_epi128(products, 8));
  return _mm256_srli_epi16(_mm256_add_epi16(sum, rounding), 8);
}

// The texel pairs at four byte offsets from base, loaded one by one: faster
// than gather instructions where those are guarded against leaking data
// between programs.
SWD3D_AVX2 inline __m256i fourPairs(const std::uint8_t* base, const std::int64_t (&at)[4]) {
  const auto pair = [base, &at](int k) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + at[k]));
  };
  const __m128i low = _mm_unpacklo_epi64(pair(0), pair(1));
  const __m128i high = _mm_unpacklo_epi64(pair(2), pair(3));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

}  // namespace

SWD3D_AVX2 void pointSteppedAvx2(const SamplerView& view, const TexelSteps& steps, int count,
                                 std::uint32_t* out) {
  const std::uint8_t* base = view.texels.bits;
  const __m256i pitch = _mm256_set1_epi64x(view.texels.pitch);
  __m256i s = fourSteps(steps.s, steps.ds);
  __m256i t = fourSteps(steps.t, steps.dt);
  const __m256i stepS = _mm256_set1_epi64x(4 * steps.ds);
  const __m256i stepT = _mm256_set1_epi64x(4 * steps.dt);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    // Inside the texture the coordinates are not negative: logical shifts
    // take their floors.
    const __m256i offsets = _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(t, 32), pitch),
                                             _mm256_slli_epi64(_mm256_srli_epi64(s, 32), 2));
    // Loaded one by one, as the linear kernel's pairs are.
    alignas(32) std::int64_t at[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), offsets);
    for (int k = 0; k < 4; ++k) std::memcpy(out + i + k, base + at[k], 4);
    s = _mm256_add_epi64(s, stepS);
    t = _mm256_add_epi64(t, stepT);
  }
  pointStepped(view, steps.advanced(i), count - i, out + i);
}

SWD3D_AVX2 void linearSteppedAvx2(const SamplerView& view, const TexelSteps& steps, int count,
                                  std::uint32_t* out) {
  const std::uint8_t* base = view.texels.bits;
  const __m256i pitch = _mm256_set1_epi64x(view.texels.pitch);
  const __m256i weightBits = _mm256_set1_epi64x(0xFF);
  const __m256i full = _mm256_set1_epi64x(256);
  const __m256i zero = _mm256_setzero_si256();
  __m256i s = fourSteps(steps.s, steps.ds);
  __m256i t = fourSteps(steps.t, steps.dt);
  const __m256i stepS = _mm256_set1_epi64x(4 * steps.ds);
  const __m256i stepT = _mm256_set1_epi64x(4 * steps.dt);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256i ks = linearPositions(s);
    const __m256i kt = linearPositions(t);
    const __m256i topOffsets =
        _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(kt, 8), pitch),
                         _mm256_slli_epi64(_mm256_srli_epi64(ks, 8), 2));
    // Texel pairs (left, right) of the upper and lower rows of pixels 0 to 3.
    alignas(32) std::int64_t at[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), topOffsets);
    const __m256i upper = fourPairs(base, at);
    const __m256i lower = fourPairs(base + view.texels.pitch, at);
    const __m256i wu = _mm256_and_si256(ks, weightBits);
    const __m256i wv = _mm256_and_si256(kt, weightBits);
    const __m256i leftU = spread(_mm256_sub_epi64(full, wu)), rightU = spread(wu);
    const __m256i leftV = spread(_mm256_sub_epi64(full, wv)), rightV = spread(wv);
    // Pixels 0 and 2 from the low byte halves, 1 and 3 from the high ones.
    const __m256i even = bilinearHalves(_mm256_unpacklo_epi8(upper, zero),
                                        _mm256_unpacklo_epi8(lower, zero),
                                        _mm256_unpacklo_epi64(leftU, rightU),
                                        _mm256_unpacklo_epi64(leftV, rightV));
    const __m256i odd = bilinearHalves(_mm256_unpackhi_epi8(upper, zero),
                                       _mm256_unpackhi_epi8(lower, zero),
                                       _mm256_unpackhi_epi64(leftU, rightU),
                                       _mm256_unpackhi_epi64(leftV, rightV));
    // [0 1 | 2 3] as bytes, then the two halves' low words side by side.
    const __m256i bytes = _mm256_packus_epi16(_mm256_unpacklo_epi64(even, odd), zero);
    const __m256i ordered = _mm256_permute4x64_epi64(bytes, 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(ordered));
    s = _mm256_add_epi64(s, stepS);
    t = _mm256_add_epi64(t, stepT);
  }
  linearStepped(view, steps.advanced(i), count - i, out + i);
}

}  // namespace swd3d::raster
