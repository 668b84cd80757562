#include "filters/channels/channel_kernels.h"

namespace tessaly {

namespace {

// rule(source word, destination word) -> new destination word, over two
// rectangles of the same size, each walked with its own pitch.
template <class Rule>
void combinePixels(const PixelRect& source, const PixelRect& destination, Rule rule) {
  for (std::uint32_t y = 0; y < destination.height; ++y) {
    const std::uint8_t* s = source.row(y);
    std::uint8_t* d = destination.row(y);
    for (std::uint32_t x = 0; x < destination.width; ++x, s += 4, d += 4) {
      storePixel(d, rule(loadPixel(s), loadPixel(d)));
    }
  }
}

}  // namespace

void setChannelBits(const PixelRect& image, std::uint32_t mask, std::uint32_t value) {
  const std::uint32_t keep = ~mask;
  transformPixels(image, [=](std::uint32_t p) { return (p & keep) | value; });
}

void copyChannelBits(const PixelRect& source, const PixelRect& destination, std::uint32_t mask) {
  const std::uint32_t keep = ~mask;
  combinePixels(source, destination,
                [=](std::uint32_t s, std::uint32_t d) { return (d & keep) | (s & mask); });
}

void spreadChannelByte(const PixelRect& source, const PixelRect& destination, ChannelRead read,
                       std::uint32_t mask) {
  const std::uint32_t keep = ~mask;
  combinePixels(source, destination, [=](std::uint32_t s, std::uint32_t d) {
    return (d & keep) | (replicateByte(read.byteOf(s)) & mask);
  });
}

}  // namespace tessaly
