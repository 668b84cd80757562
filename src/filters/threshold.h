// Threshold: a two-level image under a channel mask.
#pragma once

#include "host/win32_api.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Each pixel whose word under the mask is below the threshold byte (spread
// into all four bytes and masked alike) keeps only its alpha; every other
// pixel becomes opaque white.
void thresholdPixels(const PixelRect& image, std::uint8_t value, std::uint32_t mask);

}  // namespace tessaly

// Value is declared as a character: the host's 32-bit integer arrives as its low byte.
extern "C" void ThresholdImage(int image, char value, DWORD channel);
