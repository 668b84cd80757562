// Moves a group of image rows into a block whose rows are the image's pixel
// columns and back, so that a kernel written down columns can filter rows:
// row x of the block (blockStride bytes apart) holds pixel x of each row of
// the group, side by side. Templates over the instruction set; the group has
// kChunk / 4 rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessaly::simd {

template <class Isa>
void rowsToBlock(const std::uint8_t* first, std::ptrdiff_t pitch, std::uint32_t width, std::uint8_t* block,
                 std::ptrdiff_t blockStride) {
  constexpr unsigned k = Isa::kChunk / 4;
  std::uint32_t x = 0;
  for (; x + k <= width; x += k) Isa::transposeBlock(first + 4 * x, pitch, block + x * blockStride, blockStride);
  for (; x < width; ++x)
    for (unsigned row = 0; row < k; ++row) std::memcpy(block + x * blockStride + 4 * row, first + row * pitch + 4 * x, 4);
}

template <class Isa>
void blockToRows(const std::uint8_t* block, std::ptrdiff_t blockStride, std::uint32_t width, std::uint8_t* first,
                 std::ptrdiff_t pitch) {
  constexpr unsigned k = Isa::kChunk / 4;
  std::uint32_t x = 0;
  for (; x + k <= width; x += k) Isa::transposeBlock(block + x * blockStride, blockStride, first + 4 * x, pitch);
  for (; x < width; ++x)
    for (unsigned row = 0; row < k; ++row) std::memcpy(first + row * pitch + 4 * x, block + x * blockStride + 4 * row, 4);
}

}  // namespace tessaly::simd
