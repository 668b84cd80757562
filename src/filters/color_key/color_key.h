// Colour keying and replacement: a colour made transparent exactly (hard) or
// taken out of every pixel with the amount removed turned into transparency
// (soft), and one whole 32-bit colour replaced by another.
#pragma once

#include "host/win32_api.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Pixels whose red, green and blue equal the key's (its alpha ignored) get alpha 0.
void keyColourHard(const PixelRect& image, std::uint32_t colour);
// The key's colour taken out of every pixel; see soft_key_rule.h.
void keyColourSoft(const PixelRect& image, std::uint32_t colour);
// Pixels whose whole word equals `source` become `replacement`.
void replaceColour(const PixelRect& image, std::uint32_t replacement, std::uint32_t source);

}  // namespace tessaly

extern "C" {
void ColorToAlphaHard(DWORD image, DWORD color);
void ColorToAlphaSoft(DWORD image, DWORD color, DWORD mode);
void ReplaceImageColor(DWORD image, DWORD newColor, DWORD sourceColor);
}
