// The flip and resize kernels built for AVX2, used only when the processor
// has it. Everything this unit shares with others is included before the
// target switch (see simd/kernel_table.h).
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
#pragma GCC target("avx2,fma")

#include "filters/geometry/geometry_kernel_table.h"
#include "filters/simd/pixel_lanes_avx2.h"

namespace tessaly::simd {

template <>
const GeometryKernels& kernelTable<GeometryKernels, Avx2>() {
  static constexpr GeometryKernels table = makeGeometryKernelTable<Avx2>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
