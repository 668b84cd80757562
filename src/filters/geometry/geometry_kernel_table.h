// The geometry kernel table of one instruction set, from the flip and resize
// row kernel templates. Included only by the per-set units
// (geometry_kernels_*.cpp), after their target switch.
#pragma once

#include "filters/geometry/flip_row_kernels.h"
#include "filters/geometry/geometry_kernel_set.h"
#include "filters/geometry/resize_row_kernels.h"

namespace tessaly::simd {

template <class Isa>
constexpr GeometryKernels makeGeometryKernelTable() {
  return GeometryKernels{kPermutesPixels<Isa> ? PixelLanes<Isa>::kPixels : 0u,
                         reverseRow<Isa>,
                         swapRowsReversed<Isa>,
                         swapRows<Isa>,
                         gatherRow<Isa>,
                         interpolateRow<Isa>,
                         blendRows<Isa>,
                         truncateRow<Isa>};
}

}  // namespace tessaly::simd
