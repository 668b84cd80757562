// A block of image rows that a vectorised kernel filters down its columns:
// `rows` rows of `bytes` bytes each, `stride` bytes apart. Every 4-byte column
// is one line of the blur (a column of the image, or a row of the image after
// transposition), so one vector chunk carries several lines at once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly {

struct RowBlock {
  std::uint8_t* first;
  std::ptrdiff_t stride;
  std::uint32_t rows;
  std::uint32_t bytes;

  std::uint8_t* row(std::uint32_t y) const { return first + static_cast<std::ptrdiff_t>(y) * stride; }
};

// Pixels on the line within the window of `radius` around position i, the
// window cut off at both ends of a line of n pixels.
inline std::uint32_t windowCount(std::uint32_t i, std::uint32_t radius, std::uint32_t n) {
  const std::uint64_t last = std::uint64_t{i} + radius < n ? std::uint64_t{i} + radius : n - 1;
  const std::uint64_t first = i >= radius ? i - radius : 0;
  return static_cast<std::uint32_t>(last - first + 1);
}

}  // namespace tessaly
