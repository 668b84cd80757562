// The two resize rules, from a kept copy of the old pixels into the new image.
// Destination pixel (x, y) is mapped through the requested new size; the
// destination rectangle may be smaller than that size (only its pixels are
// written). Columns are handled in strips of kStripColumns, so the working
// memory of a resize does not grow with the new width.
#pragma once

#include "image/pixel_rect.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

// The old image: rows of width + 1 pixels `stride` bytes apart, the extra
// pixel repeating the row's last one, so that a pixel and its right
// neighbour can always be read together; kSourceSlackBytes of room after
// the last row.
struct ResizeSource {
  const std::uint8_t* bits = nullptr;
  std::size_t stride = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  const std::uint8_t* row(std::uint32_t y) const { return bits + std::size_t{y} * stride; }
};

struct ResizeTarget {
  PixelRect pixels;        // what is written
  std::uint32_t width = 0;   // the requested new size, which the mapping divides by
  std::uint32_t height = 0;
};

inline constexpr std::uint32_t kStripColumns = 2048;

// A source row may be read this many bytes past its end (a vector load of a
// windowed gather); the kept copy of the old pixels leaves room for that.
inline constexpr std::size_t kSourceSlackBytes = 64;

struct NearestScratch {
  std::uint32_t sourceColumn[kStripColumns];
  // True where any run of as many strip pixels as a vector holds takes its
  // pixels from a run of at most that many consecutive source pixels
  // (enlarging, or shrinking slightly).
  bool windowed;
};

// A new image at least this large is written with streaming stores: it would
// only push the old pixels out of the caches.
inline constexpr std::uint64_t kStreamingBytes = std::uint64_t{4} << 20;

struct BilinearScratch {
  std::uint32_t leftColumn[kStripColumns];
  float rightWeight[kStripColumns];  // ax
  float leftWeight[kStripColumns];   // 1 - ax
  // True where each whole vector of strip pixels (counted from the strip's
  // first) takes its left pixels from a run of at most as many consecutive
  // source pixels as it holds.
  bool windowed;
  // Two source rows, each interpolated along the strip: planes of floats for
  // blue, green, red and alpha, kStripColumns apart.
  float rows[2][4 * kStripColumns];
};

// Pixel (x, y) is old pixel (x * W / width, y * H / height), rounded down.
void resizeNearest(const ResizeSource& source, const ResizeTarget& target, NearestScratch& scratch);

// Pixel (x, y) is the bilinear sample of the old image at (x / width,
// y / height), every intermediate value a float, each channel truncated.
void resizeBilinear(const ResizeSource& source, const ResizeTarget& target, BilinearScratch& scratch);

}  // namespace tessaly
