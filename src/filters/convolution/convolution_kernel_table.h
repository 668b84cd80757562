// The sharpen and emboss kernels over vectors, written once for every
// instruction set, and the table of one set. Included only by the per-set
// units (convolution_kernels_*.cpp), after their target switch.
#pragma once

#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_lanes.h"
#include "filters/convolution/convolution_scalar_kernels.h"
#include "filters/convolution/emboss.h"
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
  for (; x + C::kGreyPixels <= width; x += C::kGreyPixels) C::grey(pixels + 4 * std::size_t{x}, grey + x);
  greyPixelsScalar(pixels + 4 * std::size_t{x}, grey + x, width - x);
}

// The up-left and down-right taps of one row of a band as a grey row and a
// column offset, so that the kernel sums of whole vectors of inner columns
// are six loads.
struct EmbossTaps {
  EmbossRows rows;
  const std::uint8_t* upLeft = nullptr;  // its tap for column x lies at x - upLeftBack
  const std::uint8_t* downRight = nullptr;  // and at x + downRightAhead
  std::uint32_t upLeftBack = 0, downRightAhead = 0;

  EmbossTaps() = default;
  explicit EmbossTaps(const EmbossRows& r)
      : rows(r),
        upLeft(r.top ? r.centre : r.up),
        downRight(r.bottom ? r.centre : r.down),
        upLeftBack(r.top ? 0 : 1),
        downRightAhead(r.bottom ? 0 : 1) {}
};

// K for columns x0 ... x0 + kLanes - 1 of one row: whole vectors where every
// tap lies inside the row, one column at a time at the left and right edges.
template <class C>
typename C::W embossKernels(const EmbossTaps& taps, std::uint32_t x0, std::uint32_t width) {
  if (x0 >= 1 && x0 + C::kLanes + 1 <= width) {
    const EmbossRows& rows = taps.rows;
    const auto plus = C::add(C::add(C::loadLevels(rows.centre + (x0 - 1)), C::loadLevels(rows.up + x0)),
                             C::twice(C::loadLevels(taps.upLeft + (x0 - taps.upLeftBack))));
    const auto minus = C::add(C::add(C::loadLevels(rows.centre + (x0 + 1)), C::loadLevels(rows.down + x0)),
                              C::twice(C::loadLevels(taps.downRight + (x0 + taps.downRightAhead))));
    return C::sub(plus, minus);
  }
  std::int16_t k[C::kLanes];
  for (unsigned c = 0; c < C::kLanes; ++c) k[c] = static_cast<std::int16_t>(taps.rows.kernelAt(x0 + c, width));
  return C::loadWords(k);
}

// A band of kLanes rows, each vector lane carrying one row's running value:
// tiles of kLanes × kLanes kernel sums are turned so that a vector holds one
// column, stepped along the row, and turned back into pixels.
template <class C>
void embossBand(const PixelRect& image, const GreyRing& grey, std::uint32_t y0) {
  constexpr unsigned kLanes = C::kLanes;
  const std::uint32_t width = image.width;
  EmbossTaps taps[kLanes];
  for (unsigned r = 0; r < kLanes; ++r) taps[r] = EmbossTaps(EmbossRows(grey, image.height, y0 + r));
  const auto offset = C::set16(128);
  auto v = C::set16(0);
  std::uint32_t x0 = 0;
  // The rows the next band's grey is made from: fetched while this band
  // works, a tile's width at a time.
  const std::uint32_t nextRows = std::min(kLanes, image.height - std::min(image.height, y0 + kLanes + 1));
  for (; x0 + kLanes <= width; x0 += kLanes) {
    for (unsigned r = 0; r < nextRows; ++r) {
      const std::uint8_t* ahead = image.row(y0 + kLanes + 1 + r) + 4 * std::size_t{x0};
      for (unsigned line = 0; line < 4 * kLanes; line += 64) __builtin_prefetch(ahead + line);
    }
    typename C::W tile[kLanes];
    for (unsigned r = 0; r < kLanes; ++r) tile[r] = embossKernels<C>(taps[r], x0, width);
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
    int value = running[r];
    std::uint8_t* p = image.row(y0 + r) + 4 * std::size_t{x0};
    for (std::uint32_t x = x0; x < width; ++x, p += 4) {
      value = embossStep(value, taps[r].rows.kernelAt(x, width));
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(value + 128);
    }
  }
}

// Grey rows are made just ahead of the band that reads them, into a ring of
// kEmbossGreyRows rows (see emboss.h), while the band's pixels are still in
// the cache.
template <class C>
void embossVectors(const PixelRect& image, std::uint8_t* greyMemory) {
  static_assert(C::kLanes + 2 <= kEmbossGreyRows, "a band and the rows around it fit the ring");
  const std::uint32_t width = image.width, height = image.height;
  const GreyRing grey{greyMemory, width, embossGreyRows(image)};
  std::uint32_t greyRows = 0;
  const auto greyUpTo = [&](std::uint32_t rows) {
    for (; greyRows < rows; ++greyRows) greyRow<C>(image.row(greyRows), grey.row(greyRows), width);
  };
  std::uint32_t y0 = 0;
  for (; y0 + C::kLanes <= height; y0 += C::kLanes) {
    greyUpTo(std::min(y0 + C::kLanes + 1, height));
    embossBand<C>(image, grey, y0);
  }
  greyUpTo(height);
  for (std::uint32_t y = y0; y < height; ++y) embossRowScalar(image.row(y), EmbossRows(grey, height, y), width);
}

template <class Isa>
constexpr ConvolutionKernels makeConvolutionTable() {
  using C = ConvolutionLanes<Isa>;
  return ConvolutionKernels{sharpenRowVectors<C>, embossVectors<C>};
}

}  // namespace tessaly::simd
