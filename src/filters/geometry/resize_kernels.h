// The two resize rules, from the old image into the new one. Destination
// pixel (x, y) is mapped through the requested new size; the destination
// rectangle may be smaller than that size (only its pixels are written).
// Columns are handled in strips of kStripColumns, so the working memory of a
// resize does not grow with the new width. Nothing is read outside the old
// image.
#pragma once

#include "image/pixel_rect.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

struct ResizeTarget {
  PixelRect pixels;        // what is written
  std::uint32_t width = 0;   // the requested new size, which the mapping divides by
  std::uint32_t height = 0;
};

inline constexpr std::uint32_t kStripColumns = 2048;

// A vector of strip pixels that starts before `end` takes them from `vectors`
// loads of as many source pixels each, from its first pixel's column on:
// they lie within the row and span fewer columns than that (enlarging, or
// shrinking to no less than half). Later vectors gather pixel by pixel.
struct Windows {
  std::uint32_t end;
  std::uint32_t vectors;
};

struct NearestScratch {
  std::uint32_t sourceColumn[kStripColumns];
  Windows windows;
};

struct BilinearScratch {
  std::uint32_t leftColumn[kStripColumns];
  // The column right of the left one, but the last column for the last
  // (where its weight is 0).
  std::uint32_t rightColumn[kStripColumns];
  float rightWeight[kStripColumns];  // ax
  float leftWeight[kStripColumns];   // 1 - ax
  // For the loads of the left pixels; those of the right pixels start one
  // column later.
  Windows windows;
  // Two source rows, each interpolated along the strip: planes of floats for
  // blue, green, red and alpha, kStripColumns apart.
  float rows[2][4 * kStripColumns];
};

// The working memory of either rule, made once a call.
union ResizePlans {
  NearestScratch nearest;
  BilinearScratch bilinear;
};

// A new image at least this large is written with streaming stores: it would
// only push the old pixels out of the caches.
inline constexpr std::uint64_t kStreamingBytes = std::uint64_t{4} << 20;

// The windows of a strip for vectors of vectorPixels (0: no windows), with
// rightToo for loads of the right neighbours as well.
Windows planWindows(const std::uint32_t* columns, std::uint32_t count, std::uint32_t vectorPixels, bool rightToo,
                    std::uint32_t sourceWidth);

// Pixel (x, y) is old pixel (x * W / width, y * H / height), rounded down.
void resizeNearest(const PixelRect& source, const ResizeTarget& target, NearestScratch& scratch);

// Pixel (x, y) is the bilinear sample of the old image at (x / width,
// y / height), every intermediate value a float, each channel truncated.
void resizeBilinear(const PixelRect& source, const ResizeTarget& target, BilinearScratch& scratch);

}  // namespace tessaly
