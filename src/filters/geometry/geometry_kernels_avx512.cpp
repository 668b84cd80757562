// The flip and resize kernels built for AVX-512, used only when the processor
// has it. Everything this unit shares with others is included before the
// target switch (see simd/kernel_table.h).

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "filters/geometry/geometry_kernel_set.h"
#include "filters/geometry/resize_kernels.h"
#include "filters/simd/kernel_table.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx512f,avx2,fma")

#include "filters/geometry/geometry_kernel_table.h"
#include "filters/simd/pixel_lanes_avx512.h"

namespace tessaly::simd {

template <>
const GeometryKernels& kernelTable<GeometryKernels, Avx512>() {
  static constexpr GeometryKernels table = makeGeometryKernelTable<Avx512>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
