// The convolution kernels one pixel at a time: what the vector kernels leave
// over at the edges of an image.
#pragma once

#include "image/pixel_rect.h"

#include <algorithm>
#include <cstdint>

namespace tessaly {

// Sharpens pixels firstX ... endX - 1 of a row (all inner pixels).
inline void sharpenPixelsScalar(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* middle,
                                const std::uint8_t* down, std::uint32_t firstX, std::uint32_t endX) {
  for (std::uint32_t x = firstX; x < endX; ++x) {
    const std::size_t i = std::size_t{x} * 4;
    for (std::size_t c = i; c < i + 3; ++c) {
      const int v = 5 * middle[c] - middle[c - 4] - middle[c + 4] - up[c] - down[c];
      out[c] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }
  }
}

// (R + G + B) / 3 of `count` pixels from `pixels` into `grey`.
inline void greyPixelsScalar(const std::uint8_t* pixels, std::uint8_t* grey, std::uint32_t count) {
  for (std::uint32_t x = 0; x < count; ++x, pixels += 4) {
    grey[x] = static_cast<std::uint8_t>((pixels[0] + pixels[1] + pixels[2]) / 3);
  }
}

// The grey rows the emboss keeps: a ring of `slots` rows, row y in slot
// y mod slots. Enough slots for every row the rows being embossed read.
struct GreyRing {
  std::uint8_t* memory;
  std::uint32_t width;
  std::uint32_t slots;

  std::uint8_t* row(std::uint32_t y) const { return memory + std::size_t{y % slots} * width; }
};

// The emboss's grey rows around row y: above and below are the row itself
// at the top and bottom edges, where the kernel's taps fall back to it.
struct EmbossRows {
  const std::uint8_t* up = nullptr;
  const std::uint8_t* centre = nullptr;
  const std::uint8_t* down = nullptr;
  bool top = false, bottom = false;

  EmbossRows() = default;
  EmbossRows(const GreyRing& grey, std::uint32_t height, std::uint32_t y)
      : up(grey.row(y > 0 ? y - 1 : y)),
        centre(grey.row(y)),
        down(grey.row(y + 1 < height ? y + 1 : y)),
        top(y == 0),
        bottom(y + 1 == height) {}

  // K = L + 2 UL + U - R - 2 DR - D at column x. On the top row UL is the
  // centre, elsewhere in column 0 it is U; on the bottom row DR is the
  // centre, elsewhere in the last column it is D.
  int kernelAt(std::uint32_t x, std::uint32_t width) const {
    const std::uint32_t left = x > 0 ? x - 1 : x;
    const std::uint32_t right = x + 1 < width ? x + 1 : x;
    const int upLeft = top ? centre[x] : up[left];
    const int downRight = bottom ? centre[x] : down[right];
    return centre[left] + 2 * upLeft + up[x] - centre[right] - 2 * downRight - down[x];
  }
};

// v = (v + K) shifted right by one as a signed value, within -128 ... 127.
inline int embossStep(int v, int k) { return std::clamp((v + k) >> 1, -128, 127); }

inline void embossRowScalar(std::uint8_t* out, const EmbossRows& rows, std::uint32_t width) {
  int v = 0;
  for (std::uint32_t x = 0; x < width; ++x, out += 4) {
    v = embossStep(v, rows.kernelAt(x, width));
    const auto level = static_cast<std::uint8_t>(v + 128);
    out[0] = level;
    out[1] = level;
    out[2] = level;
  }
}

}  // namespace tessaly
