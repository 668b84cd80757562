#include "filters/gradient/gradient_kernels.h"
#include "filters/simd/kernel_table.h"

namespace tessaly {

const GradientKernels& gradientKernels() { return simd::kernels<GradientKernels>(); }

}  // namespace tessaly
