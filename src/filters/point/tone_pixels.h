// The tone adjustments on locked pixels, as the commands apply them: each
// pixel on its own, alpha kept unless a form says otherwise.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Every colour byte inverted, alpha kept.
void negativePixels(const PixelRect& image);

// Each channel c becomes min(255, trunc(c · f + 0.5)) with its own factor f
// (blue, green, red, alpha); a negative or NaN factor counts as 0. Alpha is
// scaled only withAlpha.
void brightnessPixels(const PixelRect& image, const float (&factors)[4], bool withAlpha);

// The grey of each pixel into its colour bytes, alpha kept.
enum class GreyMode {
  lightness = 1,  // (max + min) / 2 of red, green, blue
  weighted = 2,   // trunc(0.61 G + 0.31 B + 0.08 R) with the float weights
  average = 3,    // (R + G + B) / 3
};
void desaturatePixels(const PixelRect& image, GreyMode mode);

// Each colour byte moves toward the weighted grey L: trunc(c · s + k) limited
// to 0 … 255, k = L · (1 − s) rounded to single precision; s below 1 (0 and
// negative values included).
void saturationPixels(const PixelRect& image, float s);

}  // namespace tessaly
