// How a point filter walks an image: runs of consecutive pixel words (the
// whole image when its rows follow one another with no gap, otherwise each
// row), the vector kernel over the whole chunks from the first address
// aligned to a chunk (a vector that straddles two cache lines costs two
// accesses), the words before and after them through the plain rule.
#pragma once

#include "image/pixel_rect.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace tessaly::point {

// kernel(first, chunks) rewrites `chunks` chunks of `chunk` bytes in place;
// rule(word) gives one word.
template <class Kernel, class Rule>
void eachRun(const PixelRect& image, unsigned chunk, Kernel kernel, Rule rule) {
  if (image.width == 0 || image.height == 0) return;
  const bool gapless = static_cast<std::int64_t>(image.pitch) == std::int64_t{4} * image.width;
  const std::uint32_t runs = gapless ? 1 : image.height;
  const std::size_t words = gapless ? std::size_t{image.width} * image.height : image.width;
  const auto byRule = [&rule](std::uint8_t* p, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, p += 4) storePixel(p, rule(loadPixel(p)));
  };
  for (std::uint32_t r = 0; r < runs; ++r) {
    std::uint8_t* p = image.row(r);
    const std::size_t toAligned = (chunk - reinterpret_cast<std::uintptr_t>(p) % chunk) % chunk;
    const std::size_t head = toAligned % 4 == 0 ? std::min(toAligned / 4, words) : 0;
    const std::size_t chunks = (words - head) * 4 / chunk;
    byRule(p, head);
    p += 4 * head;
    kernel(p, chunks);
    p += chunks * chunk;
    byRule(p, words - head - chunks * chunk / 4);
  }
}

}  // namespace tessaly::point
