#include "filters/geometry/flip_kernels.h"

#include "filters/geometry/geometry_kernel_set.h"
#include "filters/simd/kernel_table.h"

#include <cstdint>

namespace tessaly {

void flipHorizontally(const PixelRect& image) {
  const GeometryKernels& kernels = simd::kernels<GeometryKernels>();
  for (std::uint32_t y = 0; y < image.height; ++y) kernels.reverseRow(image.row(y), image.width);
}

void flipVertically(const PixelRect& image) {
  const GeometryKernels& kernels = simd::kernels<GeometryKernels>();
  for (std::uint32_t y = 0; y < image.height / 2; ++y) {
    kernels.swapRows(image.row(y), image.row(image.height - 1 - y), image.width);
  }
}

// Row y and row H - 1 - y trade places, each reversed; the middle row of an
// odd height is reversed in place.
void flipBoth(const PixelRect& image) {
  const GeometryKernels& kernels = simd::kernels<GeometryKernels>();
  for (std::uint32_t y = 0; y < image.height / 2; ++y) {
    kernels.swapRowsReversed(image.row(y), image.row(image.height - 1 - y), image.width);
  }
  if (image.height % 2 != 0) kernels.reverseRow(image.row(image.height / 2), image.width);
}

}  // namespace tessaly
