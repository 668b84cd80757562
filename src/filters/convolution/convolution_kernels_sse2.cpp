// The sharpen and emboss kernels built for SSE2, the baseline of every build.
#include "filters/convolution/convolution_kernel_table.h"
#include "filters/convolution/convolution_lanes_sse2.h"
#include "filters/simd/kernel_table.h"

namespace tessaly::simd {

template <>
const ConvolutionKernels& kernelTable<ConvolutionKernels, Sse2>() {
  static constexpr ConvolutionKernels table = makeConvolutionTable<Sse2>();
  return table;
}

}  // namespace tessaly::simd
