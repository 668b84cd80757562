// The flips of a locked rectangle, in place: pixels trade places, nothing is
// allocated, so a flip cannot fail for want of memory.
#pragma once

#include "image/pixel_rect.h"

namespace tessaly {

// Pixel (x, y) moves to (W - 1 - x, y).
void flipHorizontally(const PixelRect& image);
// Pixel (x, y) moves to (x, H - 1 - y).
void flipVertically(const PixelRect& image);
// Pixel (x, y) moves to (W - 1 - x, H - 1 - y): a turn by 180 degrees.
void flipBoth(const PixelRect& image);

}  // namespace tessaly
