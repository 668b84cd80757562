// The colour-key kernels built for SSE2, the baseline of every build.
#include "filters/color_key/color_key_kernel_table.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes_sse2.h"

namespace tessaly::simd {

template <>
const ColorKeyKernels& kernelTable<ColorKeyKernels, Sse2>() {
  static constexpr ColorKeyKernels table = makeColorKeyTable<Sse2>();
  return table;
}

}  // namespace tessaly::simd
