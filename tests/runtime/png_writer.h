// Test support: PNG files of any colour type, bit depth and interlacing,
// written with libpng from raw samples, and damaged ones built chunk by chunk.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pngtest {

struct PngPicture {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  int colorType = 6;  // PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  int bitDepth = 8;
  bool interlaced = false;
  // Row by row, every channel of the colour type (a palette index for 3).
  std::vector<std::uint16_t> samples;
  std::vector<std::array<std::uint8_t, 3>> palette;
  std::vector<std::uint8_t> paletteAlpha;                          // tRNS of a palette image
  std::optional<std::array<std::uint16_t, 3>> transparentColour;  // tRNS of grey (first) or RGB
};

// A picture of the given size, colour type and depth, from its samples.
inline PngPicture pngPicture(std::uint32_t width, std::uint32_t height, int colorType, int bitDepth,
                       std::vector<std::uint16_t> samples) {
  PngPicture picture;
  picture.width = width;
  picture.height = height;
  picture.colorType = colorType;
  picture.bitDepth = bitDepth;
  picture.samples = std::move(samples);
  return picture;
}

// False if libpng refused the description.
bool writePng(const std::string& path, const PngPicture& picture);

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The 8-byte signature, then chunks with correct lengths and CRCs.
std::vector<std::uint8_t> pngSignature();
void appendChunk(std::vector<std::uint8_t>& file, const char type[4],
                 const std::vector<std::uint8_t>& data);
// An IHDR chunk's data.
std::vector<std::uint8_t> headerData(std::uint32_t width, std::uint32_t height, int bitDepth,
                                     int colorType);

}  // namespace pngtest
