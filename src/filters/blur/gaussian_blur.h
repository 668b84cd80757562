// The recursive Gaussian kernel after Young and van Vliet: per line, an
// anti-causal then a causal third-order recursive filter whose coefficients
// depend only on the radius. Each channel of a pixel is filtered on its own.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

void gaussianBlurHorizontal(const PixelRect& image, std::int32_t radius);
void gaussianBlurVertical(const PixelRect& image, std::int32_t radius);
// Horizontal then vertical, the second pass working on the rounded bytes.
void gaussianBlur(const PixelRect& image, std::int32_t radius);

}  // namespace tessaly
