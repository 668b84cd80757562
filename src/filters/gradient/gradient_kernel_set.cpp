#include "filters/gradient/gradient_kernels.h"
#include "filters/gradient/gradient_scalar_kernels.h"

namespace tessaly {

const GradientKernels& gradientKernels() {
  static const GradientKernels scalar{paintLinearSpanScalar, paintRadialRowScalar};
  return scalar;
}

}  // namespace tessaly
