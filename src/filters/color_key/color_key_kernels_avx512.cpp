// The colour-key kernels built for AVX-512 (F and BW), used only when the
// processor has it. Everything this unit shares with others is included
// before the target switch.

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "filters/color_key/color_key_kernels.h"
#include "filters/color_key/color_key_scalar_kernels.h"
#include "filters/color_key/soft_key_rule.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx2,fma")

#include "filters/color_key/color_key_kernel_table.h"
#include "filters/simd/pixel_lanes_avx512.h"

namespace tessaly::simd {

// Bytes taken apart and put together by shuffles within each 128-bit lane,
// which holds four whole pixels.
template <>
struct PixelBytes<PixelLanes<Avx512>> {
  // Lane i of each four takes byte 4 i + first alone; the others give 0.
  static __m512i spread(int first) {
    const auto lane = [first](int i) { return static_cast<int>(0x80808000u | static_cast<unsigned>(4 * i + first)); };
    const int d0 = lane(0), d1 = lane(1), d2 = lane(2), d3 = lane(3);
    return _mm512_setr4_epi32(d0, d1, d2, d3);
  }
  static void colours(__m512i v, __m512 (&pc)[3]) {
    for (int c = 0; c < 3; ++c) pc[c] = _mm512_cvtepi32_ps(_mm512_shuffle_epi8(v, spread(c)));
  }
  // Packing with saturation leaves each lane's four pixels as their blue,
  // green, red and alpha bytes in turn; one shuffle interleaves them.
  static __m512i pixels(__m512i blue, __m512i green, __m512i red, __m512i alpha) {
    const __m512i planes = _mm512_packus_epi16(_mm512_packus_epi32(blue, green), _mm512_packus_epi32(red, alpha));
    const int d0 = 0x0C080400, d1 = 0x0D090501, d2 = 0x0E0A0602, d3 = 0x0F0B0703;
    return _mm512_shuffle_epi8(planes, _mm512_setr4_epi32(d0, d1, d2, d3));
  }
};

// Three soft-key vectors in flight fit the 32 registers.
template <>
inline constexpr unsigned kVectorsAhead<PixelLanes<Avx512>> = 3;

template <>
struct MaskedStores<PixelLanes<Avx512>> {
  static constexpr bool kAvailable = true;
  static void storeWhere(std::uint8_t* p, __mmask16 lanes, __m512i v) { _mm512_mask_storeu_epi32(p, lanes, v); }
};

template <>
const ColorKeyKernels& kernelTable<ColorKeyKernels, Avx512>() {
  static constexpr ColorKeyKernels table = makeColorKeyTable<Avx512>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
