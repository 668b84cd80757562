// The point kernels built for AVX2, used only when the processor has it.
// Everything this unit shares with others is included before the target
// switch, so only the templates instantiated here for Avx2 carry AVX2 code.
#include "filters/point/point_kernel_set.h"
#include "filters/point/point_rules.h"
#include "filters/point/scale_steps.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "filters/point/point_kernel_table.h"
#include "filters/simd/avx2.h"
#include "filters/simd/pixel_lanes_avx2.h"

namespace tessaly::simd {

template <>
const PointKernelSet& kernelTable<PointKernelSet, Avx2>() {
  static constexpr PointKernelSet table = makePointKernelTable<Avx2, true>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
