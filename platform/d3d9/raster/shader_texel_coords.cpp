// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "d3d9/raster/shader_texel_coords.h"

#include <immintrin.h>

#include <cmath>

namespace swd3d::raster {

namespace {

// Within this many texels a coordinate needs no reduction (toFixedTexels
// converts it directly), so its fixed point is one rounded conversion.
constexpr double kDirectRange = 536870912.0;  // 2^29

void fixedTexelsScalar(const float* coords, int count, int size, AddressMode mode,
                       std::int64_t* out) {
  for (int i = 0; i < count; ++i) {
    out[i] = toFixedTexels(static_cast<double>(coords[i]) * size, mode, size);
  }
}

#if defined(__GNUC__)
#define SWD3D_AVX512DQ __attribute__((target("avx512f,avx512dq")))

// Eight coordinates a step: u × size is exact in double, × 2^32 too, and the
// conversion rounds to nearest, halves to even, as the scalar one does. Lanes
// beyond the direct range go the scalar way.
SWD3D_AVX512DQ void fixedTexelsAvx512(const float* coords, int count, int size,
                                      AddressMode mode, std::int64_t* out) {
  const __m512d scale = _mm512_set1_pd(size);
  const __m512d range = _mm512_set1_pd(kDirectRange);
  const __m512d fixedOne = _mm512_set1_pd(kFixedOne);
  const __m512d magnitude = _mm512_castsi512_pd(_mm512_set1_epi64(0x7FFFFFFFFFFFFFFF));
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m512d texels = _mm512_mul_pd(_mm512_cvtps_pd(_mm256_loadu_ps(coords + i)), scale);
    // NaN compares false: not direct.
    const __mmask8 direct =
        _mm512_cmp_pd_mask(_mm512_and_pd(texels, magnitude), range, _CMP_LE_OQ);
    _mm512_storeu_si512(out + i, _mm512_cvtpd_epi64(_mm512_mul_pd(texels, fixedOne)));
    if (direct != 0xFF) {
      for (int k = 0; k < 8; ++k) {
        if ((direct >> k & 1) == 0) fixedTexelsScalar(coords + i + k, 1, size, mode, out + i + k);
      }
    }
  }
  fixedTexelsScalar(coords + i, count - i, size, mode, out + i);
}
#endif

}  // namespace

void fixedTexelSpan(const float* coords, int count, int size, AddressMode mode,
                    std::int64_t* out, bool widest) {
#if defined(__GNUC__)
  static const bool hasAvx512 =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
  if (hasAvx512 && widest) {
    fixedTexelsAvx512(coords, count, size, mode, out);
    return;
  }
#endif
  fixedTexelsScalar(coords, count, size, mode, out);
}

bool evenlyStepped(const std::int64_t* values, int count) {
  if (count <= 2) return true;
  const std::int64_t step = values[1] - values[0];
  bool even = true;
  for (int i = 2; i < count; ++i) even &= values[i] - values[i - 1] == step;
  return even;
}

}  // namespace swd3d::raster
