// The sharpen and emboss kernels built for AVX2, used only when the processor
// has it. Everything this unit shares with others is included before the
// target switch.
#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_lanes.h"
#include "filters/convolution/convolution_scalar_kernels.h"
#include "filters/simd/kernel_table.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "filters/convolution/convolution_kernel_table.h"
#include "filters/convolution/convolution_lanes_avx2.h"

namespace tessaly::simd {

template <>
const ConvolutionKernels& kernelTable<ConvolutionKernels, Avx2>() {
  static constexpr ConvolutionKernels table = makeConvolutionTable<Avx2>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
