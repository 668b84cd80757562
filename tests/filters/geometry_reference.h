// Plain reference loops of the flips, the resizes and the channel rules,
// written straight from their description and kept slow and obvious.
#pragma once

#include "test_image.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace filter_test {

// An image as its pixel words, row by row.
struct Words {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return pixels[std::size_t{y} * width + x]; }
  bool operator==(const Words&) const = default;
};

// Failures name the size and the first pixels, not the bytes of the record.
void PrintTo(const Words& words, std::ostream* out);

Words randomWords(std::uint32_t width, std::uint32_t height, std::mt19937& rng);

void referenceFlipHorizontally(TestImage& image);
void referenceFlipVertically(TestImage& image);
void referenceFlipBoth(TestImage& image);

Words referenceResizeNearest(const Words& old, std::uint32_t width, std::uint32_t height);
Words referenceResizeBilinear(const Words& old, std::uint32_t width, std::uint32_t height);

// (p AND NOT channel) OR (value's low byte replicated AND channel).
void referenceSetChannel(TestImage& image, std::uint32_t channel, std::uint32_t value);
// The byte a Channel Source mask reads: the lowest byte it touches, with the
// bits outside the mask cleared.
std::uint32_t referenceChannelByte(std::uint32_t pixel, std::uint32_t source);
// Destination pixel (x, y) from source pixel (x - X, y - Y) where that exists.
void referencePasteChannelAt(const TestImage& source, TestImage& destination, std::uint32_t channel,
                             std::uint32_t channelSource, std::int64_t x, std::int64_t y);

}  // namespace filter_test
