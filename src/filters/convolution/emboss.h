// Emboss: a grey relief centred on mid-grey. Each pixel's colour bytes become
// v + 128, where v carries along the row: v = (v + K) / 2 rounded down, within
// -128 ... 127, and K is a 3 × 3 kernel over the grey image (R + G + B) / 3.
// Alpha keeps its value.
#pragma once

#include "host/win32_api.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Embosses in place; `grey` holds width × height bytes of working memory.
void embossImage(const PixelRect& image, std::uint8_t* grey);

}  // namespace tessaly

extern "C" void EmbossImage(DWORD image);
