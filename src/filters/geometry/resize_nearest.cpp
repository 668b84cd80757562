// Nearest-neighbour resize: every new pixel is a copy of one old pixel.
#include "filters/geometry/geometry_kernel_set.h"
#include "filters/geometry/resize_kernels.h"
#include "filters/simd/kernel_table.h"

#include <xmmintrin.h>

#include <algorithm>
#include <cstring>

namespace tessaly {

namespace {

// floor(i * oldSize / newSize), exact: the product of two 32-bit numbers
// always fits 64 bits.
std::uint32_t sourceIndex(std::uint32_t i, std::uint32_t oldSize, std::uint32_t newSize) {
  return static_cast<std::uint32_t>(std::uint64_t{i} * oldSize / newSize);
}

}  // namespace

void resizeNearest(const PixelRect& source, const ResizeTarget& target, NearestScratch& scratch) {
  const GeometryKernels& kernels = simd::kernels<GeometryKernels>();
  const PixelRect& out = target.pixels;
  const bool stream = std::uint64_t{out.width} * out.height * 4 >= kStreamingBytes;
  const bool sameWidth = target.width == source.width;
  for (std::uint32_t first = 0; first < out.width; first += kStripColumns) {
    const std::uint32_t count = std::min(kStripColumns, out.width - first);
    for (std::uint32_t i = 0; i < count; ++i) scratch.sourceColumn[i] = sourceIndex(first + i, source.width, target.width);
    scratch.windows = planWindows(scratch.sourceColumn, count, kernels.windowPixels, false, source.width);
    const std::size_t bytes = 4 * std::size_t{count};
    std::uint32_t previous = 0;
    for (std::uint32_t y = 0; y < out.height; ++y) {
      const std::uint32_t sy = sourceIndex(y, source.height, target.height);
      std::uint8_t* row = out.at(first, y);
      // Without streaming, a row the same as the one above (enlarging) is
      // copied from it while it is still in the caches; streamed rows are
      // not, so such a row is gathered again from the source.
      if (!stream && y > 0 && sy == previous) {
        std::memcpy(row, out.at(first, y - 1), bytes);
      } else if (!stream && sameWidth) {
        std::memcpy(row, source.at(first, sy), bytes);
      } else {
        kernels.gatherRow(source.row(sy), scratch, count, stream, row);
      }
      previous = sy;
    }
  }
  if (stream) _mm_sfence();
}

}  // namespace tessaly
