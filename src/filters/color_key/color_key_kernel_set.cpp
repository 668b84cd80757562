#include "filters/color_key/color_key_kernels.h"
#include "filters/color_key/color_key_scalar_kernels.h"

namespace tessaly {

const ColorKeyKernels& colorKeyKernels() {
  static const ColorKeyKernels scalar{hardKeyScalar, softKeyScalar, replaceScalar};
  return scalar;
}

}  // namespace tessaly
