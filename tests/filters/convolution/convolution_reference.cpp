#include "convolution_reference.h"

#include <algorithm>
#include <vector>

namespace filter_test {

void referenceSharpen(TestImage& image) {
  // Read from the surface, write into a copy, copy the copy back.
  std::vector<std::uint8_t> copy = image.memory;
  const auto at = [&](std::vector<std::uint8_t>& bytes, std::uint32_t x, std::uint32_t y, int c) -> std::uint8_t& {
    return bytes[std::size_t{y} * static_cast<std::uint32_t>(image.pitch) + 4 * std::size_t{x} + c];
  };
  for (std::uint32_t y = 1; y + 1 < image.height; ++y) {
    for (std::uint32_t x = 1; x + 1 < image.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        const int v = 5 * at(image.memory, x, y, c) - at(image.memory, x - 1, y, c) -
                      at(image.memory, x + 1, y, c) - at(image.memory, x, y - 1, c) - at(image.memory, x, y + 1, c);
        at(copy, x, y, c) = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  image.memory = copy;
}

void referenceEmboss(TestImage& image) {
  const std::uint32_t w = image.width, h = image.height;
  std::vector<int> grey(std::size_t{w} * h);
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = &image.channel(x, y, 0);
      grey[std::size_t{y} * w + x] = (p[2] + p[1] + p[0]) / 3;
    }
  }
  const auto g = [&](std::uint32_t x, std::uint32_t y) { return grey[std::size_t{y} * w + x]; };
  for (std::uint32_t y = 0; y < h; ++y) {
    int v = 0;
    for (std::uint32_t x = 0; x < w; ++x) {
      const int centre = g(x, y);
      const int l = x == 0 ? centre : g(x - 1, y);
      const int ul = y == 0 ? centre : x == 0 ? g(x, y - 1) : g(x - 1, y - 1);
      const int u = y == 0 ? centre : g(x, y - 1);
      const int r = x == w - 1 ? centre : g(x + 1, y);
      const int dr = y == h - 1 ? centre : x == w - 1 ? g(x, y + 1) : g(x + 1, y + 1);
      const int d = y == h - 1 ? centre : g(x, y + 1);
      const int k = l + 2 * ul + u - r - 2 * dr - d;
      v = (v + k) >> 1;
      v = std::clamp(v, -128, 127);
      std::uint8_t* p = &image.channel(x, y, 0);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(v + 128);
    }
  }
}

}  // namespace filter_test
