// Nearest-neighbour resize: every new pixel is a copy of one old pixel.
#include "filters/geometry/resize_kernels.h"

#include <algorithm>
#include <cstring>

namespace tessaly {

namespace {

// floor(i * oldSize / newSize), exact: the product of two 32-bit numbers
// always fits 64 bits.
std::uint32_t sourceIndex(std::uint32_t i, std::uint32_t oldSize, std::uint32_t newSize) {
  return static_cast<std::uint32_t>(std::uint64_t{i} * oldSize / newSize);
}

void gatherRow(const std::uint8_t* sourceRow, const std::uint32_t* columns, std::uint32_t count,
               std::uint8_t* out) {
  for (std::uint32_t i = 0; i < count; ++i, out += 4) {
    std::memcpy(out, sourceRow + 4 * std::size_t{columns[i]}, 4);
  }
}

}  // namespace

void resizeNearest(const ResizeSource& source, const ResizeTarget& target, NearestScratch& scratch) {
  const PixelRect& out = target.pixels;
  const bool sameWidth = target.width == source.width;
  for (std::uint32_t first = 0; first < out.width; first += kStripColumns) {
    const std::uint32_t count = std::min(kStripColumns, out.width - first);
    for (std::uint32_t i = 0; i < count; ++i) {
      scratch.sourceColumn[i] = sourceIndex(first + i, source.width, target.width);
    }
    const std::size_t bytes = 4 * std::size_t{count};
    std::uint32_t previous = 0;
    for (std::uint32_t y = 0; y < out.height; ++y) {
      const std::uint32_t sy = sourceIndex(y, source.height, target.height);
      std::uint8_t* row = out.at(first, y);
      // A row the same as the one above (enlarging) is copied from it.
      if (y > 0 && sy == previous) {
        std::memcpy(row, out.at(first, y - 1), bytes);
      } else if (sameWidth) {
        std::memcpy(row, source.row(sy) + 4 * std::size_t{first}, bytes);
      } else {
        gatherRow(source.row(sy), scratch.sourceColumn, count, row);
      }
      previous = sy;
    }
  }
}

}  // namespace tessaly
