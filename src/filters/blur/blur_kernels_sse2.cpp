// The blur kernels built for the SSE2 baseline.
#include "filters/blur/blur_kernel_table.h"
#include "filters/simd/sse2.h"

namespace tessaly::simd {

template <>
const BlurKernelSet& kernelTable<BlurKernelSet, Sse2>() {
  static constexpr BlurKernelSet table = makeBlurKernelTable<Sse2>();
  return table;
}

}  // namespace tessaly::simd
