// PNG files in and out of the stand-in host's images: any PNG loads as
// 0xAARRGGBB words with straight alpha, and images save as 8-bit RGBA PNGs,
// so a save followed by a load gives back the same words.
#pragma once

#include "image_pixels.h"

#include <optional>
#include <string>

namespace standin {

// The largest width and height an image may have.
inline constexpr UINT kMaxImageSide = 16384;

struct PngLoad {
  std::optional<ImagePixels> pixels;
  std::string error;  // why there are no pixels
};

// Every colour type and bit depth, interlaced or not: palette and tRNS become
// alpha, grey becomes equal red, green and blue, 16-bit samples round to the
// nearest 8-bit value, and no gamma is applied. A file that is not a PNG, is
// damaged or cut short, or is larger than kMaxImageSide on a side is refused.
PngLoad loadPng(const std::string& path);

// Writes the words as an 8-bit RGBA PNG; returns an error message, empty on
// success. The file is written beside the target and renamed over it once
// whole (see replace_file.h), so a failed save leaves the target as it was.
std::string savePng(const std::string& path, const ImagePixels& pixels);

}  // namespace standin
