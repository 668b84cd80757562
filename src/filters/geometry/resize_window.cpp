// Where a resize may take a whole vector of pixels from one or two loads of
// the old row and a permutation, instead of gathering them one by one.
#include "filters/geometry/resize_kernels.h"

namespace tessaly {

namespace {

// Before which position vectors of `vectorPixels` may start when each loads
// `span` source pixels from its first column on (and, with rightToo, `span`
// more from the next column on): the loads stay within the row and the
// vector's columns span fewer than `span`. The columns never decrease, so the
// first and last column of a vector tell its span.
std::uint32_t windowEnd(const std::uint32_t* columns, std::uint32_t count, std::uint32_t vectorPixels,
                        std::uint32_t span, bool rightToo, std::uint32_t sourceWidth) {
  const std::uint64_t loaded = std::uint64_t{span} + (rightToo ? 1 : 0);
  std::uint32_t i = 0;
  for (; i + vectorPixels <= count; ++i) {
    if (columns[i] + loaded > sourceWidth || columns[i + vectorPixels - 1] - columns[i] >= span) break;
  }
  return i;
}

}  // namespace

Windows planWindows(const std::uint32_t* columns, std::uint32_t count, std::uint32_t vectorPixels, bool rightToo,
                    std::uint32_t sourceWidth) {
  if (vectorPixels == 0) return {0, 1};
  const std::uint32_t single = windowEnd(columns, count, vectorPixels, vectorPixels, rightToo, sourceWidth);
  if (single + vectorPixels > count) return {single, 1};
  const std::uint32_t twice = windowEnd(columns, count, vectorPixels, 2 * vectorPixels, rightToo, sourceWidth);
  return twice > single ? Windows{twice, 2} : Windows{single, 1};
}

}  // namespace tessaly
