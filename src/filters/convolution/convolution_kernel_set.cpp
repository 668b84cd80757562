#include "filters/convolution/convolution_kernels.h"
#include "filters/simd/kernel_table.h"

namespace tessaly {

const ConvolutionKernels& convolutionKernels() { return simd::kernels<ConvolutionKernels>(); }

}  // namespace tessaly
