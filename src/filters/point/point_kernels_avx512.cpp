// The point kernels built for AVX-512, used only when the processor has it.
// Everything this unit shares with others is included before the target
// switch (see point_kernels_avx2.cpp).

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "filters/point/point_kernel_set.h"
#include "filters/point/point_rules.h"
#include "filters/point/scale_steps.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl,avx2,fma")

#include "filters/point/point_kernel_table.h"
#include "filters/simd/avx512.h"
#include "filters/simd/pixel_lanes_avx512.h"

namespace tessaly::simd {

template <>
const PointKernelSet& kernelTable<PointKernelSet, Avx512>() {
  static constexpr PointKernelSet table = makePointKernelTable<Avx512, true>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
