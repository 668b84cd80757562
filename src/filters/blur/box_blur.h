// The box kernel: every pixel becomes the mean of the pixels within the radius
// on its line (a row or a column), the window cut off at the line's ends,
// rounded half up. Each channel of a pixel is filtered on its own.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

void boxBlurHorizontal(const PixelRect& image, std::int32_t radius);
void boxBlurVertical(const PixelRect& image, std::int32_t radius);
// Horizontal then vertical, the second pass working on the rounded bytes.
void boxBlur(const PixelRect& image, std::int32_t radius);

}  // namespace tessaly
