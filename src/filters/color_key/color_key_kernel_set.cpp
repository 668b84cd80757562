#include "filters/color_key/color_key_kernels.h"
#include "filters/simd/kernel_table.h"

namespace tessaly {

const ColorKeyKernels& colorKeyKernels() { return simd::kernels<ColorKeyKernels>(); }

}  // namespace tessaly
