// The recursive Gaussian kernel after Young and van Vliet: per line, an
// anti-causal then a causal third-order recursive filter whose coefficients
// depend only on the radius. Each channel of a pixel is filtered on its own.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Up to this radius the recursion with the single-precision coefficients is
// stable: every pole of 1 / (b0 − b1·z⁻¹ − b2·z⁻² − b3·z⁻³) lies inside the
// unit circle. At 730 one lies on it (b0 = b1 + b2 + b3, so B = 0), and
// above, again and again, outside, where the values grow without bound. A
// larger radius blurs as this one does.
inline constexpr std::int32_t kGaussianMaxRadius = 729;

void gaussianBlurHorizontal(const PixelRect& image, std::int32_t radius);
void gaussianBlurVertical(const PixelRect& image, std::int32_t radius);
// Horizontal then vertical, the second pass working on the rounded bytes.
void gaussianBlur(const PixelRect& image, std::int32_t radius);

}  // namespace tessaly
