#include "filters/binomial_blur.h"

#include "filters/blur_arithmetic.h"
#include "filters/blur_scratch.h"
#include "filters/pixel_lines.h"
#include "filters/uint128.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tessaly {

namespace {

using WeightTable = std::array<Uint128, 2 * kBinomialMaxRadius + 1>;

// C(2r, k) for k = 0 … 2r, row by row of Pascal's triangle.
WeightTable binomialWeights(std::uint32_t r) {
  WeightTable w{};
  w[0] = {0, 1};
  for (std::uint32_t row = 1; row <= 2 * r; ++row)
    for (std::uint32_t k = row; k > 0; --k) w[k] = w[k] + w[k - 1];
  return w;
}

// Every output summed from its taps on the line: S = Σ w·a per channel and
// T = Σ w, both exact; then R(S / T) with the division in double precision.
void binomialLine(const std::uint8_t* in, const PixelLine& line, std::uint32_t r, const WeightTable& w) {
  const std::int64_t n = line.length;
  for (std::int64_t i = 0; i < n; ++i) {
    Uint128 sum[4];
    Uint128 total;
    const std::int64_t from = std::max<std::int64_t>(0, i - r);
    const std::int64_t to = std::min<std::int64_t>(n - 1, i + r);
    for (std::int64_t j = from; j <= to; ++j) {
      const Uint128& weight = w[static_cast<std::size_t>(j - i + r)];
      total = total + weight;
      for (int c = 0; c < 4; ++c) sum[c] = sum[c] + weight.times(in[4 * j + c]);
    }
    std::uint8_t* out = line.pixel(static_cast<std::uint32_t>(i));
    const StrictDouble t = total.toDouble();
    for (int c = 0; c < 4; ++c) out[c] = roundToByte(sum[c].toDouble() / t);
  }
}

void binomialPass(const PixelRect& image, std::uint32_t r, Direction direction, std::uint8_t* lineCopy) {
  const WeightTable weights = binomialWeights(r);
  for (std::uint32_t l = 0; l < lineCount(image, direction); ++l) {
    const PixelLine line = imageLine(image, direction, l);
    copyLine(line, lineCopy);
    binomialLine(lineCopy, line, r, weights);
  }
}

void binomialBlurIn(const PixelRect& image, std::int32_t radius, bool horizontal, bool vertical) {
  if (radius < 1 || image.width == 0 || image.height == 0) return;
  const std::uint64_t longest = std::max(image.width, image.height);
  ScratchArray<std::uint8_t> lineCopy(4 * longest, kBlurMemoryCaption);
  if (!lineCopy) return;
  const auto r = static_cast<std::uint32_t>(std::min(radius, kBinomialMaxRadius));
  if (horizontal) binomialPass(image, r, Direction::horizontal, lineCopy.data());
  if (vertical) binomialPass(image, r, Direction::vertical, lineCopy.data());
}

}  // namespace

void binomialBlurHorizontal(const PixelRect& image, std::int32_t radius) {
  binomialBlurIn(image, radius, true, false);
}
void binomialBlurVertical(const PixelRect& image, std::int32_t radius) {
  binomialBlurIn(image, radius, false, true);
}
void binomialBlur(const PixelRect& image, std::int32_t radius) { binomialBlurIn(image, radius, true, true); }

}  // namespace tessaly
