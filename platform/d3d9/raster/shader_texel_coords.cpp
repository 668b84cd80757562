// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "d3d9/raster/shader_texel_coords.h"

#include "d3d9/raster/float_bits.h"
#include "d3d9/raster/vector_lanes.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cmath>

namespace swd3d::raster {

namespace {

// Within this many texels a coordinate needs no reduction (toFixedTexels
// converts it directly), so its fixed point is one rounded conversion.
constexpr double kDirectRange = 536870912.0;  // 2^29

#if defined(__GNUC__)
#define SWD3D_AVX512DQ __attribute__((target("avx512f,avx512dq,avx512vl")))
#endif

// Coordinates given as floats.
struct FloatCoords {
  const float* coords;
  int size;
  AddressMode mode;

  std::int64_t one(int i) const {
    return toFixedTexels(static_cast<double>(coords[i]) * size, mode, size);
  }
#if defined(__GNUC__)
  SWD3D_AVX512DQ __m256 eight(int i, __mmask8 lanes) const {
    return _mm256_maskz_loadu_ps(lanes, coords + i);
  }
#endif
};

// Coordinates interpolated along the span, each rounded to float.
struct InterpolatedCoords {
  double start;
  double step;
  int size;
  AddressMode mode;

  std::int64_t one(int i) const {
    const float coord = static_cast<float>(start + step * i);
    return toFixedTexels(static_cast<double>(coord) * size, mode, size);
  }
#if defined(__GNUC__)
  SWD3D_AVX512DQ __m256 eight(int i, __mmask8) const {
    const __m512d index = _mm512_add_pd(_mm512_set1_pd(i), _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0));
    return _mm512_cvtpd_ps(
        _mm512_add_pd(_mm512_set1_pd(start), _mm512_mul_pd(_mm512_set1_pd(step), index)));
  }
#endif
};

template <class Coords>
bool fixedTexelsScalar(const Coords& coords, int count, std::int64_t* out) {
  for (int i = 0; i < count; ++i) out[i] = coords.one(i);
  return evenlyStepped(out, count);
}

#if defined(__GNUC__)
// Eight coordinates a step (the last step masked): u × size is exact in
// double, × 2^32 too, and the conversion rounds to nearest, halves to even,
// as the scalar one does. Lanes beyond the direct range go the scalar way.
// Each step also compares its lanes with the first pixel's value plus the
// first step times their index (in wrapping arithmetic: values within ±2^61
// that agree with it modulo 2^64 step evenly).
template <class Coords>
SWD3D_AVX512DQ bool fixedTexelsAvx512(const Coords& coords, int count, std::int64_t* out) {
  if (count < 2) return fixedTexelsScalar(coords, count, out);
  const __m512d scale = _mm512_set1_pd(coords.size);
  const __m512d range = _mm512_set1_pd(kDirectRange);
  const __m512d fixedOne = _mm512_set1_pd(kFixedOne);
  const __m512d magnitude = _mm512_castsi512_pd(_mm512_set1_epi64(0x7FFFFFFFFFFFFFFF));
  bool allDirect = true;
  __mmask8 uneven = 0;
  __m512i expected = _mm512_setzero_si512();
  __m512i eightSteps = _mm512_setzero_si512();
  for (int i = 0; i < count; i += 8) {
    const int left = count - i;
    const auto lanes = static_cast<__mmask8>(left >= 8 ? 0xFFu : (1u << left) - 1);
    const __m512d texels = _mm512_mul_pd(_mm512_cvtps_pd(coords.eight(i, lanes)), scale);
    // NaN compares false: not direct.
    const __mmask8 direct =
        _mm512_mask_cmp_pd_mask(lanes, _mm512_and_pd(texels, magnitude), range, _CMP_LE_OQ);
    const __m512i fixed = _mm512_cvtpd_epi64(_mm512_mul_pd(texels, fixedOne));
    _mm512_mask_storeu_epi64(out + i, lanes, fixed);
    if (direct != lanes) {
      allDirect = false;
      for (int k = 0; k < 8 && k < left; ++k) {
        if ((direct >> k & 1) == 0) out[i + k] = coords.one(i + k);
      }
    }
    if (i == 0) {
      const std::int64_t step = out[1] - out[0];
      expected = _mm512_add_epi64(_mm512_set1_epi64(out[0]),
                                  _mm512_mullo_epi64(_mm512_set1_epi64(step),
                                                     _mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0)));
      eightSteps = _mm512_slli_epi64(_mm512_set1_epi64(step), 3);
    }
    uneven |= _mm512_mask_cmpneq_epi64_mask(lanes, fixed, expected);
    expected = _mm512_add_epi64(expected, eightSteps);
  }
  if (!allDirect) return evenlyStepped(out, count);
  return uneven == 0;
}
#endif

// Whether the processor runs fixedTexelsAvx512.
bool hasAvx512() {
#if defined(__GNUC__)
  static const bool has = __builtin_cpu_supports("avx512f") &&
                          __builtin_cpu_supports("avx512dq") &&
                          __builtin_cpu_supports("avx512vl");
  return has;
#else
  return false;
#endif
}

template <class Coords>
bool fixedTexels(const Coords& coords, int count, std::int64_t* out, bool widest) {
#if defined(__GNUC__)
  if (widest && hasAvx512()) return fixedTexelsAvx512(coords, count, out);
#endif
  return fixedTexelsScalar(coords, count, out);
}

}  // namespace

bool fixedTexelSpan(const float* coords, int count, int size, AddressMode mode,
                    std::int64_t* out, bool widest) {
  return fixedTexels(FloatCoords{coords, size, mode}, count, out, widest);
}

bool fixedTexelSpan(double start, double step, int count, int size, AddressMode mode,
                    std::int64_t* out, bool widest) {
  const InterpolatedCoords coords{start, step, size, mode};
  if (step == 0.0 && count > 0) {  // every pixel has the first one's coordinate
    out[0] = coords.one(0);
    std::fill(out + 1, out + count, out[0]);
    return true;
  }
  return fixedTexels(coords, count, out, widest);
}

namespace {

// 2^e for -1022 <= e <= 1023.
double powerOfTwo(int e) { return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52); }

}  // namespace

std::optional<FixedSteps> exactFixedSteps(double start, double step, int count, int size) {
  // Below 2^27 texels a coordinate of 24 significant bits times the size
  // is exact in double.
  if (count < 1 || size < 1 || size >= (1 << 27) || !std::isfinite(start) ||
      !std::isfinite(step)) {
    return std::nullopt;
  }
  if (count == 1) step = 0.0;
  // Every coordinate is a whole multiple of q; below 2^24 of them each sum,
  // product and float conversion is exact, and with q >= 2^-32 each times
  // size × 2^32 is a whole number. The step is at most twice the largest
  // coordinate, so its fixed point fits too.
  int q = 0;  // the exponent of q
  if (start != 0.0) q = std::min(q, lowestBit(start));
  if (step != 0.0) q = std::min(q, lowestBit(step));
  if (q < -32) return std::nullopt;
  const double last = start + step * (count - 1);
  const double largest = std::max(std::fabs(start), std::fabs(last));
  if (!(largest < powerOfTwo(q + 24)) || !(largest * size <= kDirectRange)) return std::nullopt;
  return FixedSteps{static_cast<std::int64_t>(start * size * kFixedOne),
                    static_cast<std::int64_t>(step * size * kFixedOne)};
}

SWD3D_VECTOR_CLONES bool evenlyStepped(const std::int64_t* values, int count) {
  if (count <= 2) return true;
  const std::int64_t step = values[1] - values[0];
  // No early exit, so that the loop vectorises.
  unsigned uneven = 0;
  for (int i = 2; i < count; ++i) uneven |= values[i] - values[i - 1] != step ? 1u : 0u;
  return uneven == 0;
}

}  // namespace swd3d::raster
