#include "filters/box_blur.h"

#include "filters/blur_arithmetic.h"
#include "filters/blur_scratch.h"
#include "filters/pixel_lines.h"

#include <algorithm>
#include <cstdint>

namespace tessaly {

namespace {

// One line through the running sums: `in` holds the line's original pixels,
// the results go to the line itself. A radius at or past the line's length
// acts as length − 1, whose window already spans the whole line, so every
// pixel becomes the line's mean and nothing outside the line is read.
void boxLine(const std::uint8_t* in, const PixelLine& line, std::uint32_t radius) {
  const std::uint64_t n = line.length;
  const std::uint64_t r = std::min<std::uint64_t>(radius, n - 1);
  std::uint64_t sum[4] = {};
  for (std::uint64_t j = 0; j <= r; ++j)
    for (int c = 0; c < 4; ++c) sum[c] += in[4 * j + c];
  std::uint64_t count = r + 1;
  for (std::uint64_t i = 0; i < n; ++i) {
    std::uint8_t* out = line.pixel(static_cast<std::uint32_t>(i));
    for (int c = 0; c < 4; ++c) out[c] = roundedMean(sum[c], count);
    if (i + r + 1 < n) {
      for (int c = 0; c < 4; ++c) sum[c] += in[4 * (i + r + 1) + c];
    } else {
      --count;
    }
    if (i >= r) {
      for (int c = 0; c < 4; ++c) sum[c] -= in[4 * (i - r) + c];
    } else {
      ++count;
    }
  }
}

void boxPass(const PixelRect& image, std::uint32_t radius, Direction direction, std::uint8_t* lineCopy) {
  for (std::uint32_t l = 0; l < lineCount(image, direction); ++l) {
    const PixelLine line = imageLine(image, direction, l);
    copyLine(line, lineCopy);
    boxLine(lineCopy, line, radius);
  }
}

bool isEmpty(const PixelRect& image, std::int32_t radius) {
  return radius < 1 || image.width == 0 || image.height == 0;
}

void boxBlurIn(const PixelRect& image, std::int32_t radius, bool horizontal, bool vertical) {
  if (isEmpty(image, radius)) return;
  const std::uint64_t longest = std::max(image.width, image.height);
  ScratchArray<std::uint8_t> lineCopy(4 * longest, kBoxMemoryCaption);
  if (!lineCopy) return;
  const auto r = static_cast<std::uint32_t>(radius);
  if (horizontal) boxPass(image, r, Direction::horizontal, lineCopy.data());
  if (vertical) boxPass(image, r, Direction::vertical, lineCopy.data());
}

}  // namespace

void boxBlurHorizontal(const PixelRect& image, std::int32_t radius) { boxBlurIn(image, radius, true, false); }
void boxBlurVertical(const PixelRect& image, std::int32_t radius) { boxBlurIn(image, radius, false, true); }
void boxBlur(const PixelRect& image, std::int32_t radius) { boxBlurIn(image, radius, true, true); }

}  // namespace tessaly
