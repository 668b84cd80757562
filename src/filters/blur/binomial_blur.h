// The binomial kernel: each line convolved with the 2r + 1 weights C(2r, k),
// taps that fall off the line left out of both the sum and the total.
// Each channel of a pixel is filtered on its own.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Weights and sums are exact up to this radius (every sum of bytes weighted by
// C(2r, k) stays below 2^128); a larger radius blurs as this one does.
inline constexpr std::int32_t kBinomialMaxRadius = 60;

void binomialBlurHorizontal(const PixelRect& image, std::int32_t radius);
void binomialBlurVertical(const PixelRect& image, std::int32_t radius);
// Horizontal then vertical, the second pass working on the rounded bytes.
void binomialBlur(const PixelRect& image, std::int32_t radius);

}  // namespace tessaly
