// The lines a one-direction blur pass walks: the rows of an image, or its
// columns (neighbours a pitch apart).
#pragma once

#include "image/pixel_rect.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessaly {

enum class Direction { horizontal, vertical };

struct PixelLine {
  std::uint8_t* first;
  std::ptrdiff_t step;  // bytes from one pixel to the next
  std::uint32_t length;

  std::uint8_t* pixel(std::uint32_t i) const { return first + static_cast<std::ptrdiff_t>(i) * step; }
};

inline std::uint32_t lineLength(const PixelRect& image, Direction direction) {
  return direction == Direction::horizontal ? image.width : image.height;
}

inline std::uint32_t lineCount(const PixelRect& image, Direction direction) {
  return direction == Direction::horizontal ? image.height : image.width;
}

inline PixelLine imageLine(const PixelRect& image, Direction direction, std::uint32_t index) {
  if (direction == Direction::horizontal) return {image.row(index), 4, image.width};
  return {image.at(index, 0), image.pitch, image.height};
}

// The line's pixels into 4 × length contiguous bytes.
inline void copyLine(const PixelLine& line, std::uint8_t* out) {
  if (line.step == 4) {
    std::memcpy(out, line.first, std::size_t{line.length} * 4);
    return;
  }
  for (std::uint32_t i = 0; i < line.length; ++i) std::memcpy(out + std::size_t{i} * 4, line.pixel(i), 4);
}

}  // namespace tessaly
