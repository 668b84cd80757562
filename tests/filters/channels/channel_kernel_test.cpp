// The channel rules on plain memory against the reference loops: random
// images of awkward sizes and padded rows, every kind of mask.
#include "filters/channels/channel_reference.h"

#include "filters/channels/channel_kernels.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <utility>

namespace filter_test {
namespace {

using plugin_test_hooks::forEveryInstructionSet;
using tessaly::channelRead;

const std::pair<std::uint32_t, std::uint32_t> kSizes[] = {{1, 1}, {1, 5}, {5, 1}, {3, 3}, {13, 7}, {16, 3}, {31, 2},
                                                          {7, 13}, {33, 2}, {67, 5}};

// The four channel masks, combinations of them, bits of bytes, none and all.
const std::uint32_t kMasks[] = {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0xFF00FF00,
                                0xFFFFFFFF, 0,          3,          0x80000000, 0x0000F000, 0x0FF00000};

TEST(ChannelKernels, SetMatchesReference) {
  std::mt19937 rng(20);
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    for (auto [w, h] : kSizes) {
      for (std::uint32_t mask : kMasks) {
        for (std::uint32_t value : {0u, 0x80u, 0xFFu, 0x1FFu, 0x12345678u}) {
          TestImage real = randomImage(w, h, rng, 4 * (w % 3));
          TestImage expected = real;
          referenceSetChannel(expected, mask, value);
          tessaly::setChannelBits(real.rect(), mask, tessaly::replicateByte(value & 0xFF) & mask);
          ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << std::hex << mask << " " << value;
          ASSERT_TRUE(real.paddingIntact());
        }
      }
    }
  });
}

TEST(ChannelKernels, SpreadMatchesReferenceInPlaceAndBetweenImages) {
  std::mt19937 rng(21);
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    for (auto [w, h] : kSizes) {
      for (std::uint32_t channel : kMasks) {
        for (std::uint32_t source : kMasks) {
          TestImage real = randomImage(w, h, rng, 8);
          TestImage expected = real;
          referencePasteChannelAt(real, expected, channel, source, 0, 0);
          tessaly::spreadChannelByte(real.rect(), real.rect(), channelRead(source), channel);
          ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << std::hex << channel << " from " << source;

          const TestImage from = randomImage(w, h, rng, 0);
          TestImage to = randomImage(w, h, rng, 12);
          expected = to;
          referencePasteChannelAt(from, expected, channel, source, 0, 0);
          tessaly::spreadChannelByte(TestImage(from).rect(), to.rect(), channelRead(source), channel);
          ASSERT_EQ(to.pixelBytes(), expected.pixelBytes()) << std::hex << channel << " from " << source;
          ASSERT_TRUE(to.paddingIntact());
        }
      }
    }
  });
}

TEST(ChannelKernels, CopyMovesTheMaskedBitsUnshifted) {
  std::mt19937 rng(22);
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    for (auto [w, h] : kSizes) {
      for (std::uint32_t mask : kMasks) {
        TestImage from = randomImage(w, h, rng, 20);
        TestImage to = randomImage(w, h, rng, 4);
        TestImage expected = to;
        for (std::uint32_t y = 0; y < h; ++y)
          for (std::uint32_t x = 0; x < w; ++x)
            expected.setWord(x, y, (to.word(x, y) & ~mask) | (from.word(x, y) & mask));
        tessaly::copyChannelBits(from.rect(), to.rect(), mask);
        ASSERT_EQ(to.pixelBytes(), expected.pixelBytes()) << std::hex << mask;
        ASSERT_TRUE(to.paddingIntact());
      }
    }
  });
}

// The four channel masks read their own byte; other masks their lowest
// byte, masked; 0 reads nothing.
TEST(ChannelKernels, ChannelSourceMasksReadOneByte) {
  const struct {
    std::uint32_t mask, pixel, byte;
  } cases[] = {{0x000000FF, 0x11223344, 0x44}, {0x0000FF00, 0x11223344, 0x33}, {0x00FF0000, 0x11223344, 0x22},
               {0xFF000000, 0x11223344, 0x11}, {0x00FFFFFF, 0x11223344, 0x44}, {0x0000F000, 0x1122A344, 0xA0},
               {0x80000000, 0xC0000000, 0x80}, {3, 0x000000FE, 2},               {0xFFFF0000, 0xABCD1234, 0xCD}};
  for (const auto& c : cases) {
    const tessaly::ChannelRead read = channelRead(c.mask);
    EXPECT_FALSE(read.readsNothing()) << std::hex << c.mask;
    EXPECT_EQ(read.byteOf(c.pixel), c.byte) << std::hex << c.mask;
    EXPECT_EQ(read.byteOf(c.pixel), referenceChannelByte(c.pixel, c.mask)) << std::hex << c.mask;
  }
  EXPECT_TRUE(channelRead(0).readsNothing());
}

}  // namespace
}  // namespace filter_test
