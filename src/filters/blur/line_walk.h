// Walks every line of one direction of an image: as many as possible through
// a vectorised block kernel, which filters chunk-wide blocks down their
// columns, and the few left over one by one. Columns are filtered in place; a
// group of chunk / 4 rows is transposed into a block, filtered and put back.
#pragma once

#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/row_block.h"

#include <algorithm>
#include <cstdint>

namespace tessaly {

// Bytes of the block a vertical walk filters at once: the whole vectorisable
// width, cut down so that `bytesPerRowOfMemory` × that width stays near
// `memoryBudget` (at least one chunk).
inline std::uint32_t verticalBlockBytes(const PixelRect& image, const BlurKernelSet& kernels,
                                        std::uint64_t rowsOfMemory, std::uint64_t memoryBudget) {
  const std::uint64_t vectorBytes = std::uint64_t{image.width} * 4 / kernels.chunk * kernels.chunk;
  const std::uint64_t fit = memoryBudget / std::max<std::uint64_t>(rowsOfMemory, 1) / kernels.chunk * kernels.chunk;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(vectorBytes, std::max<std::uint64_t>(fit, kernels.chunk)));
}

// filterBlock(block) filters a block in place: for columns, rows of the image
// verticalBytes wide; for rows, groups of groupChunks × chunk / 4 rows
// transposed into `transposed` (width × groupChunks × chunk bytes).
template <class BlockFn, class LineFn>
void walkLines(const PixelRect& image, Direction direction, const BlurKernelSet& kernels, std::uint8_t* transposed,
               unsigned groupChunks, std::uint32_t verticalBytes, BlockFn filterBlock, LineFn filterLine) {
  const unsigned chunk = kernels.chunk;
  if (direction == Direction::horizontal) {
    const std::uint32_t rowsPerChunk = chunk / 4;
    const auto stride = static_cast<std::ptrdiff_t>(groupChunks * chunk);
    std::uint32_t y = 0;
    for (; y + groupChunks * rowsPerChunk <= image.height; y += groupChunks * rowsPerChunk) {
      for (unsigned c = 0; c < groupChunks; ++c)
        kernels.rowsToBlock(image.row(y + c * rowsPerChunk), image.pitch, image.width, transposed + c * chunk, stride);
      filterBlock(RowBlock{transposed, stride, image.width, groupChunks * chunk});
      for (unsigned c = 0; c < groupChunks; ++c)
        kernels.blockToRows(transposed + c * chunk, stride, image.width, image.row(y + c * rowsPerChunk), image.pitch);
    }
    for (; y < image.height; ++y) filterLine(imageLine(image, direction, y));
    return;
  }
  const std::uint64_t vectorBytes = std::uint64_t{image.width} * 4 / chunk * chunk;
  std::uint64_t at = 0;
  while (at < vectorBytes) {
    const auto bytes = static_cast<std::uint32_t>(std::min<std::uint64_t>(verticalBytes, vectorBytes - at));
    filterBlock(RowBlock{image.bits + at, image.pitch, image.height, bytes});
    at += bytes;
  }
  for (auto x = static_cast<std::uint32_t>(at / 4); x < image.width; ++x) filterLine(imageLine(image, direction, x));
}

}  // namespace tessaly
