#include "filters/channels/channel_reference.h"

namespace filter_test {

void referenceSetChannel(TestImage& image, std::uint32_t channel, std::uint32_t value) {
  const std::uint32_t v = (value & 0xFF) * 0x01010101u & channel;
  for (std::uint32_t y = 0; y < image.height; ++y)
    for (std::uint32_t x = 0; x < image.width; ++x) image.setWord(x, y, (image.word(x, y) & ~channel) | v);
}

std::uint32_t referenceChannelByte(std::uint32_t pixel, std::uint32_t source) {
  for (int byte = 0; byte < 4; ++byte) {
    const std::uint32_t m = (source >> (8 * byte)) & 0xFF;
    if (m != 0) return (pixel >> (8 * byte)) & m;
  }
  return 0;
}

void referencePasteChannelAt(const TestImage& source, TestImage& destination, std::uint32_t channel,
                             std::uint32_t channelSource, std::int64_t x, std::int64_t y) {
  for (std::uint32_t dy = 0; dy < destination.height; ++dy) {
    for (std::uint32_t dx = 0; dx < destination.width; ++dx) {
      const std::int64_t sx = dx - x;
      const std::int64_t sy = dy - y;
      if (sx < 0 || sy < 0 || sx >= source.width || sy >= source.height) continue;
      const std::uint32_t ch = referenceChannelByte(source.word(static_cast<std::uint32_t>(sx), static_cast<std::uint32_t>(sy)), channelSource);
      const std::uint32_t w = ch | ch << 8;
      const std::uint32_t spread = w | w << 16;
      destination.setWord(dx, dy, (destination.word(dx, dy) & ~channel) | (spread & channel));
    }
  }
}

}  // namespace filter_test
