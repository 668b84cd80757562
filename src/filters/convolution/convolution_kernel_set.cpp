#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_scalar_kernels.h"

namespace tessaly {

const ConvolutionKernels& convolutionKernels() {
  static const ConvolutionKernels scalar{sharpenRowScalar, embossScalar};
  return scalar;
}

}  // namespace tessaly
