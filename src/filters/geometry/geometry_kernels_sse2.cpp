// The flip and resize kernels built for the SSE2 baseline.
#include "filters/geometry/geometry_kernel_table.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes_sse2.h"

namespace tessaly::simd {

template <>
const GeometryKernels& kernelTable<GeometryKernels, Sse2>() {
  static constexpr GeometryKernels table = makeGeometryKernelTable<Sse2>();
  return table;
}

}  // namespace tessaly::simd
