// The point kernels built for the SSE2 baseline (brightness by its tables).
#include "filters/point/point_kernel_table.h"
#include "filters/simd/sse2.h"
#include "filters/simd/pixel_lanes_sse2.h"

namespace tessaly::simd {

template <>
const PointKernelSet& kernelTable<PointKernelSet, Sse2>() {
  static constexpr PointKernelSet table = makePointKernelTable<Sse2, false>();
  return table;
}

}  // namespace tessaly::simd
