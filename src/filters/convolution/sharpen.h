// Sharpen: each colour byte of every inner pixel becomes 5 × itself minus its
// four direct neighbours, limited to 0 ... 255; the outermost rows and
// columns and every alpha byte keep their values.
#pragma once

#include "host/win32_api.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// The one buffer the sharpen works with: the unchanged copies of the two
// rows above the next output row (the row below is still unchanged in the
// image).
inline std::uint64_t sharpenCopyBytes(const PixelRect& image) { return 2 * std::uint64_t{image.width} * 4; }

// Sharpens in place with sharpenCopyBytes(image) bytes of working memory.
void sharpenImage(const PixelRect& image, std::uint8_t* copy);

}  // namespace tessaly

extern "C" void SharpenImage(DWORD image);
