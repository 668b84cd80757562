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

// The source column of every pixel of the strip, and whether every run of
// `window` of them lies within `window` consecutive source pixels (the
// columns never decrease, so the first and last of a run tell).
void planColumns(NearestScratch& plan, std::uint32_t first, std::uint32_t count, std::uint32_t oldWidth,
                 std::uint32_t newWidth, std::uint32_t window) {
  for (std::uint32_t i = 0; i < count; ++i) plan.sourceColumn[i] = sourceIndex(first + i, oldWidth, newWidth);
  plan.windowed = window > 0;
  for (std::uint32_t i = 0; plan.windowed && i + window <= count; ++i) {
    plan.windowed = plan.sourceColumn[i + window - 1] - plan.sourceColumn[i] < window;
  }
}

}  // namespace

void resizeNearest(const ResizeSource& source, const ResizeTarget& target, NearestScratch& scratch) {
  const GeometryKernels& kernels = simd::kernels<GeometryKernels>();
  const PixelRect& out = target.pixels;
  const bool stream = std::uint64_t{out.width} * out.height * 4 >= kStreamingBytes;
  const bool sameWidth = target.width == source.width;
  for (std::uint32_t first = 0; first < out.width; first += kStripColumns) {
    const std::uint32_t count = std::min(kStripColumns, out.width - first);
    planColumns(scratch, first, count, source.width, target.width, kernels.windowPixels);
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
        std::memcpy(row, source.row(sy) + 4 * std::size_t{first}, bytes);
      } else {
        kernels.gatherRow(source.row(sy), scratch, count, stream, row);
      }
      previous = sy;
    }
  }
  if (stream) _mm_sfence();
}

}  // namespace tessaly
