// Emboss: a grey relief centred on mid-grey. Each pixel's colour bytes become
// v + 128, where v carries along the row: v = (v + K) / 2 rounded down, within
// -128 ... 127, and K is a 3 × 3 kernel over the grey image (R + G + B) / 3.
// Alpha keeps its value.
#pragma once

#include "host/win32_api.h"
#include "image/pixel_rect.h"

#include <algorithm>
#include <cstdint>

namespace tessaly {

// The grey image is made a few rows ahead of the rows that read it and kept
// in a ring of this many rows (or of every row, for a shorter image): a band
// of the widest kernel's rows and the rows above and below it.
inline constexpr std::uint32_t kEmbossGreyRows = 18;

inline std::uint32_t embossGreyRows(const PixelRect& image) { return std::min(image.height, kEmbossGreyRows); }

// The one buffer the emboss works with.
inline std::uint64_t embossGreyBytes(const PixelRect& image) {
  return std::uint64_t{embossGreyRows(image)} * image.width;
}

// Embosses in place with embossGreyBytes(image) bytes of working memory.
void embossImage(const PixelRect& image, std::uint8_t* grey);

}  // namespace tessaly

extern "C" void EmbossImage(DWORD image);
