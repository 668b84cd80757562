// A locked rectangle of 32-bit A8R8G8B8 pixels: the one shape every pixel
// filter works on. Pixel (x, y) starts at bits + y * pitch + 4 * x; the bytes
// between a row's last pixel and the next row belong to no pixel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessaly {

struct PixelRect {
  std::uint8_t* bits = nullptr;
  std::int32_t pitch = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  std::uint8_t* row(std::uint32_t y) const {
    return bits + static_cast<std::ptrdiff_t>(y) * pitch;
  }
  std::uint8_t* at(std::uint32_t x, std::uint32_t y) const {
    return row(y) + static_cast<std::size_t>(x) * 4;
  }
};

// Pixel words are read and written by memcpy: locked memory is bytes.
inline std::uint32_t loadPixel(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void storePixel(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, sizeof v); }

// Rewrites every pixel word in place with rule(word) -> word.
template <class Rule>
void transformPixels(const PixelRect& image, Rule rule) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* p = image.row(y);
    for (std::uint32_t x = 0; x < image.width; ++x, p += 4) storePixel(p, rule(loadPixel(p)));
  }
}

// Sets every pixel to the word; the padding after each row is left alone.
inline void fillPixels(const PixelRect& image, std::uint32_t word) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* p = image.row(y);
    for (std::uint32_t x = 0; x < image.width; ++x, p += 4) storePixel(p, word);
  }
}

// Copies the pixels the two rectangles have in common, row by row from the
// top-left: never more than either holds, whatever sizes they were given.
inline void copyPixels(const PixelRect& to, const PixelRect& from) {
  const std::size_t rowBytes = std::size_t{std::min(to.width, from.width)} * 4;
  const std::uint32_t rows = std::min(to.height, from.height);
  for (std::uint32_t y = 0; y < rows; ++y) std::memcpy(to.row(y), from.row(y), rowBytes);
}

}  // namespace tessaly
