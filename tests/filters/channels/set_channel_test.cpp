// "TS Set Image Channel" through the stand-in host: plain images against the
// reference loop, and render targets drawn on the software device, which give
// the same pixels for masks of whole bytes whatever the user left on the
// device.
#include "filters/channels/channel_reference.h"
#include "host_fixture.h"

#include "draw/blend_modes.h"
#include "draw/sampler_states.h"
#include "filters/channels/channel_commands.h"
#include "host/failure.h"
#include "image/image_lock.h"

namespace filter_test {
namespace {

class SetChannel : public HostFixture {
 protected:
  Words makeRandom(int number, std::uint32_t w, std::uint32_t h, bool target) {
    Words words = randomWords(w, h, rng);
    if (target) {
      makeRenderTarget(number, w, h);
      EXPECT_TRUE(standin::writeTargetPixels(host->device(), host->image(number), {w, h, words.pixels}));
    } else {
      makePlain(number, w, h, words.pixels);
    }
    return words;
  }
  static Words expected(const Words& before, std::uint32_t channel, std::uint32_t value) {
    TestImage image = imageOf(before);
    referenceSetChannel(image, channel, value);
    return wordsOf(image);
  }
  Words image(int number) {
    auto read = standin::readPixels(host->device(), host->image(number));
    return read ? Words{read->width, read->height, read->words} : Words{};
  }

  std::mt19937 rng{80};
};

TEST_F(SetChannel, WorkedExamplesOnAPlainImage) {
  const struct {
    std::uint32_t channel, value, before, after;
  } cases[] = {{0xFF000000, 128, 0x11223344, 0x80223344},  {0xFF000000, 0x1FF, 0x11223344, 0xFF223344},
               {0, 0xFF, 0x11223344, 0x11223344},          {0x00FFFFFF, 0, 0x11223344, 0x11000000},
               {0x0000FF00, 0xABCD, 0x11223344, 0x1122CD44}, {0x0F0F0F0F, 0xFF, 0x11223344, 0x1F2F3F4F},
               {3, 0xFE, 0x11223344, 0x11223346}};
  for (const auto& c : cases) {
    makePlain(1, 3, 2, {c.before});
    SetImageChannel(1, c.channel, c.value);
    EXPECT_EQ(pixels(1), std::vector<std::uint32_t>(6, c.after)) << std::hex << c.channel << " " << c.value;
  }
}

TEST_F(SetChannel, PlainImagesMatchReferenceOnAwkwardSizes) {
  for (auto [w, h] : awkwardSizes()) {
    for (std::uint32_t channel : {0xFF000000u, 0x00FF00FFu, 0x80808080u, 0xFFFFFFFFu}) {
      const Words before = makeRandom(1, w, h, false);
      SetImageChannel(1, channel, 0x5A);
      ASSERT_EQ(image(1), expected(before, channel, 0x5A)) << w << "x" << h << " " << std::hex << channel;
    }
  }
}

// Every combination of whole bytes, with values that fill, clear and half
// fill them, after a paste left linear filtering, border addressing and a
// subtracting blend on the device.
TEST_F(SetChannel, RenderTargetsEqualPlainImagesForWholeByteMasks) {
  tessaly::applyBlendMode(host->device(), 16);
  tessaly::applySamplerStates(host->device(), D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTADDRESS_BORDER,
                              D3DTADDRESS_MIRROR);
  for (std::uint32_t bytes = 0; bytes < 16; ++bytes) {
    std::uint32_t channel = 0;
    for (int b = 0; b < 4; ++b) channel |= (bytes >> b & 1u) ? 0xFFu << (8 * b) : 0u;
    for (std::uint32_t value : {0x00u, 0xFFu, 0x80u, 0x1FFu}) {
      const Words before = makeRandom(2, 17, 11, true);
      SetImageChannel(2, channel, value);
      ASSERT_EQ(image(2), expected(before, channel, value)) << std::hex << channel << " " << value;
      EXPECT_EQ(IsTargetImage(2), 1u);
    }
  }
}

// The device cannot read a texture while drawing into its own surface, so the
// image is cleared through a copy: with value 0 the result is exactly that
// clearing step, every masked byte 0 and every other byte as it was.
TEST_F(SetChannel, RenderTargetClearingStepZeroesExactlyTheMaskedBytes) {
  for (std::uint32_t channel : {0xFF000000u, 0x00FF0000u, 0x0000FFFFu, 0xFFFFFFFFu}) {
    const Words before = makeRandom(3, 1, 1, true);
    const Words line = makeRandom(4, 40, 1, true);
    SetImageChannel(3, channel, 0);
    SetImageChannel(4, channel, 0);
    EXPECT_EQ(image(3).pixels, std::vector<std::uint32_t>{before.pixels[0] & ~channel});
    for (std::uint32_t x = 0; x < 40; ++x) ASSERT_EQ(image(4).at(x, 0), line.at(x, 0) & ~channel) << x;
  }
}

TEST_F(SetChannel, MissingImageIsReported) {
  SetImageChannel(7, 0xFF000000, 1);
  expectedRuntimeError = tessaly::runtime_error::kNoSuchImage;
}

}  // namespace
}  // namespace filter_test
