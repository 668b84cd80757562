// The sharpen and emboss kernels over vectors, written once for every
// instruction set, and the table of one set. Included only by the per-set
// units (convolution_kernels_*.cpp), after their target switch.
#pragma once

#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_lanes.h"
#include "filters/convolution/convolution_scalar_kernels.h"
#include "image/pixel_rect.h"

#include <algorithm>
#include <cstdint>

namespace tessaly::simd {

template <class C>
void sharpenRowVectors(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* middle, const std::uint8_t* down,
                       std::uint32_t width) {
  const auto colourBytes = C::set32(0x00FFFFFFu), alpha = C::set32(0xFF000000u);
  std::uint32_t x = 1;
  // Whole vectors of inner pixels, whose right neighbours all lie in the row.
  for (; x + C::kPixels + 1 <= width; x += C::kPixels) {
    const std::size_t i = std::size_t{x} * 4;
    const auto m = C::load(middle + i);
    const auto v = C::sharpen(m, C::load(middle + i - 4), C::load(middle + i + 4), C::load(up + i), C::load(down + i));
    C::store(out + i, C::bitOr(C::bitAnd(v, colourBytes), C::bitAnd(m, alpha)));
  }
  sharpenPixelsScalar(out, up, middle, down, x, width - 1);
}

template <class C>
void greyRow(const std::uint8_t* pixels, std::uint8_t* grey, std::uint32_t width) {
  std::uint32_t x = 0;
  for (; x + C::kPixels <= width; x += C::kPixels) C::grey(pixels + 4 * std::size_t{x}, grey + x);
  greyPixelsScalar(pixels + 4 * std::size_t{x}, grey + x, width - x);
}

// K for columns x0 ... x0 + kLanes - 1 of one row: from vectors of grey
// bytes where every tap lies inside the row, one column at a time at the
// left and right edges.
template <class C>
typename C::W embossKernels(const EmbossRows& rows, std::uint32_t x0, std::uint32_t width) {
  if (x0 >= 1 && x0 + C::kLanes + 1 <= width) {
    const auto left = C::loadLevels(rows.centre + x0 - 1), right = C::loadLevels(rows.centre + x0 + 1);
    const auto up = C::loadLevels(rows.up + x0), down = C::loadLevels(rows.down + x0);
    const auto upLeft = C::loadLevels(rows.top ? rows.centre + x0 : rows.up + x0 - 1);
    const auto downRight = C::loadLevels(rows.bottom ? rows.centre + x0 : rows.down + x0 + 1);
    return C::sub(C::add(C::add(left, up), C::twice(upLeft)), C::add(C::add(right, down), C::twice(downRight)));
  }
  std::int16_t k[C::kLanes];
  for (unsigned c = 0; c < C::kLanes; ++c) k[c] = static_cast<std::int16_t>(rows.kernelAt(x0 + c, width));
  return C::loadWords(k);
}

// A band of kLanes rows, each vector lane carrying one row's running value:
// tiles of kLanes × kLanes kernel sums are turned so that a vector holds one
// column, stepped along the row, and turned back into pixels.
template <class C>
void embossBand(const PixelRect& image, const std::uint8_t* grey, std::uint32_t y0) {
  constexpr unsigned kLanes = C::kLanes;
  const std::uint32_t width = image.width;
  const auto rowsOf = [&](unsigned r) { return EmbossRows(grey, width, image.height, y0 + r); };
  const auto offset = C::set16(128);
  auto v = C::set16(0);
  std::uint32_t x0 = 0;
  for (; x0 + kLanes <= width; x0 += kLanes) {
    typename C::W tile[kLanes];
    for (unsigned r = 0; r < kLanes; ++r) tile[r] = embossKernels<C>(rowsOf(r), x0, width);
    C::transpose(tile);
    for (unsigned c = 0; c < kLanes; ++c) {
      v = C::limit(C::halve(C::add(v, tile[c])));
      tile[c] = C::add(v, offset);
    }
    C::transpose(tile);
    for (unsigned r = 0; r < kLanes; ++r) C::writeLevels(image.row(y0 + r) + 4 * std::size_t{x0}, tile[r]);
  }
  if (x0 == width) return;
  // The columns left over, one row at a time from its running value.
  std::int16_t running[kLanes];
  C::storeWords(running, v);
  for (unsigned r = 0; r < kLanes; ++r) {
    const EmbossRows rows = rowsOf(r);
    int value = running[r];
    std::uint8_t* p = image.row(y0 + r) + 4 * std::size_t{x0};
    for (std::uint32_t x = x0; x < width; ++x, p += 4) {
      value = embossStep(value, rows.kernelAt(x, width));
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(value + 128);
    }
  }
}

// Grey rows are made a band ahead of the rows that read them, while the
// band's pixels are still in the cache.
template <class C>
void embossVectors(const PixelRect& image, std::uint8_t* grey) {
  const std::uint32_t width = image.width, height = image.height;
  std::uint32_t greyRows = 0;
  const auto greyUpTo = [&](std::uint32_t rows) {
    for (; greyRows < rows; ++greyRows) greyRow<C>(image.row(greyRows), grey + std::size_t{greyRows} * width, width);
  };
  std::uint32_t y0 = 0;
  for (; y0 + C::kLanes <= height; y0 += C::kLanes) {
    greyUpTo(std::min(y0 + C::kLanes + 1, height));
    embossBand<C>(image, grey, y0);
  }
  greyUpTo(height);
  for (std::uint32_t y = y0; y < height; ++y) embossRowScalar(image.row(y), EmbossRows(grey, width, height, y), width);
}

template <class Isa>
constexpr ConvolutionKernels makeConvolutionTable() {
  using C = ConvolutionLanes<Isa>;
  return ConvolutionKernels{sharpenRowVectors<C>, embossVectors<C>};
}

}  // namespace tessaly::simd
