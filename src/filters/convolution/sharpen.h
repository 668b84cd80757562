// Sharpen: each colour byte of every inner pixel becomes 5 × itself minus its
// four direct neighbours, limited to 0 ... 255; the outermost rows and
// columns and every alpha byte keep their values.
#pragma once

#include "host/win32_api.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Bytes between rows of the copy the sharpen reads from (the lock's pitch).
std::uint32_t sharpenCopyPitch(const PixelRect& image);

// Sharpens in place, reading the neighbourhoods from `copy`, which holds
// sharpenCopyPitch(image) × height bytes.
void sharpenImage(const PixelRect& image, std::uint8_t* copy);

}  // namespace tessaly

extern "C" void SharpenImage(DWORD image);
