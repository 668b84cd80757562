// The channel commands through the stand-in host: the order of the tests and
// the refusals with their exact words, the clipping of the offset paste, and
// the worked examples.
#include "filters/channels/channel_reference.h"
#include "host_fixture.h"

#include "filters/channels/channel_commands.h"

#include <climits>

namespace filter_test {
namespace {

using ::testing::ExitedWithCode;

const std::string kPasteRenderTarget =
    fatalOutput("TS Paste Image Channel does not work on render targets.", "TS Paste Image Channel - Error");

class ChannelCommands : public HostFixture {
 protected:
  // A random plain image under `number`, also returned as a test image.
  TestImage makeRandom(int number, std::uint32_t w, std::uint32_t h) {
    Words words = randomWords(w, h, rng);
    makePlain(number, w, h, words.pixels);
    TestImage image(w, h, 0);
    for (std::uint32_t y = 0; y < h; ++y)
      for (std::uint32_t x = 0; x < w; ++x) image.setWord(x, y, words.at(x, y));
    return image;
  }
  std::vector<std::uint32_t> words(const TestImage& image) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t y = 0; y < image.height; ++y)
      for (std::uint32_t x = 0; x < image.width; ++x) out.push_back(image.word(x, y));
    return out;
  }

  std::mt19937 rng{30};
};

TEST_F(ChannelCommands, CopyTurnsBlueIntoAlphaAndAlphaIntoTheColours) {
  makePlain(1, 2, 1, {0x10203040, 0xFF0000C8});
  CopyImageChannel(1, 0xFF000000, 0x000000FF);
  EXPECT_EQ(pixels(1), (std::vector<std::uint32_t>{0x40203040, 0xC80000C8}));
  CopyImageChannel(1, 0x00FFFFFF, 0xFF000000);
  EXPECT_EQ(pixels(1), (std::vector<std::uint32_t>{0x40404040, 0xC8C8C8C8}));
}

TEST_F(ChannelCommands, CopyMatchesReferenceForEveryKindOfMask) {
  for (std::uint32_t channel : {0xFF000000u, 0x00FFFFFFu, 0x0000FF00u, 0x0F0F0F0Fu, 0u}) {
    for (std::uint32_t source : {0x000000FFu, 0x00FF0000u, 0x00FFFFFFu, 0x0000F000u, 0x80000000u}) {
      TestImage expected = makeRandom(1, 13, 7);
      referencePasteChannelAt(TestImage(expected), expected, channel, source, 0, 0);
      CopyImageChannel(1, channel, source);
      ASSERT_EQ(pixels(1), words(expected)) << std::hex << channel << " from " << source;
    }
  }
}

TEST_F(ChannelCommands, CopyFromSourceZeroChangesNothingButRenderTargetsAreRefusedFirst) {
  const TestImage before = makeRandom(1, 5, 3);
  CopyImageChannel(1, 0xFFFFFFFF, 0);
  EXPECT_EQ(pixels(1), words(before));
  makeRenderTarget(2, 4, 4);
  EXPECT_EXIT(CopyImageChannel(2, 0xFF000000, 0), ExitedWithCode(1),
              wholeOutput(fatalOutput("TS Copy Image Channel does not work with render targets.",
                                      "TS Copy Image Channel - Error")));
}

TEST_F(ChannelCommands, ANumberInNoUseSets502) {
  const struct {
    const char* form;
    void (*call)();
  } forms[] = {{"copy", [] { CopyImageChannel(9, 0xFF, 0xFF00); }},
               {"paste, missing source", [] { PasteImageChannel(9, 1, 0xFF); }},
               {"paste, missing destination", [] { PasteImageChannel(1, 9, 0xFF); }},
               {"offset paste, missing source", [] { PasteImageChannel2(9, 1, 0xFF, 0xFF, 0, 0); }},
               {"offset paste, missing destination", [] { PasteImageChannel2(1, 9, 0xFF, 0xFF, 0, 0); }}};
  const TestImage before = makeRandom(1, 3, 3);
  for (const auto& f : forms) {
    f.call();
    EXPECT_EQ(host->runtimeError(), 502) << f.form;
    host->clearRuntimeError();
  }
  EXPECT_EQ(pixels(1), words(before));
}

TEST_F(ChannelCommands, PasteCopiesTheMaskedBitsInPlace) {
  const TestImage source = makeRandom(1, 11, 6);
  const TestImage destination = makeRandom(2, 11, 6);
  const std::uint32_t mask = 0xF0FF000F;
  std::vector<std::uint32_t> expected;
  for (std::uint32_t y = 0; y < 6; ++y)
    for (std::uint32_t x = 0; x < 11; ++x)
      expected.push_back((destination.word(x, y) & ~mask) | (source.word(x, y) & mask));
  PasteImageChannel(1, 2, mask);
  EXPECT_EQ(pixels(2), expected);
  EXPECT_EQ(pixels(1), words(source));
}

TEST_F(ChannelCommands, PasteFromARenderTargetQuietlyDoesNothing) {
  makeRenderTarget(1, 8, 8);
  const TestImage before = makeRandom(2, 8, 8);
  PasteImageChannel(1, 2, 0xFF000000);
  EXPECT_EQ(pixels(2), words(before));
}

// The same-image test comes before anything is opened, the size test before
// the render-target tests.
TEST_F(ChannelCommands, PasteRefusalsInTheirOrder) {
  EXPECT_EXIT(PasteImageChannel(5, 5, 0xFF), ExitedWithCode(1),
              wholeOutput(fatalOutput("Cannot copy channel from the same image.", "Error")));
  makeRandom(1, 64, 32);
  makeRenderTarget(2, 32, 64);
  EXPECT_EXIT(PasteImageChannel(1, 2, 0xFF), ExitedWithCode(1),
              wholeOutput(fatalOutput("Could not paste image channel because dimensions do not match.", "Error")));
  makeRenderTarget(3, 64, 32);
  EXPECT_EXIT(PasteImageChannel(1, 3, 0xFF), ExitedWithCode(1), wholeOutput(kPasteRenderTarget));
}

TEST_F(ChannelCommands, OffsetPasteRefusalsInTheirOrder) {
  EXPECT_EXIT(PasteImageChannel2(5, 5, 0xFF, 0, 0, 0), ExitedWithCode(1),
              wholeOutput(fatalOutput("Cannot paste image channel to itself.", "Paste Image Channel - Error")));
  makeRandom(1, 4, 4);
  makeRenderTarget(2, 4, 4);
  EXPECT_EXIT(PasteImageChannel2(1, 2, 0xFF, 0xFF, 0, 0), ExitedWithCode(1), wholeOutput(kPasteRenderTarget));
  EXPECT_EXIT(PasteImageChannel2(2, 1, 0xFF, 0xFF, 0, 0), ExitedWithCode(1), wholeOutput(kPasteRenderTarget));
}

TEST_F(ChannelCommands, OffsetPasteFromSourceZeroOpensNothing) {
  const TestImage before = makeRandom(1, 4, 4);
  PasteImageChannel2(7, 1, 0xFFFFFFFF, 0, 0, 0);
  PasteImageChannel2(1, 8, 0xFFFFFFFF, 0, 0, 0);
  EXPECT_EQ(pixels(1), words(before));  // and no runtime error
}

TEST_F(ChannelCommands, OffsetPasteIsClippedToTheDestination) {
  const TestImage source = makeRandom(1, 100, 100);
  const TestImage destination = makeRandom(2, 50, 50);
  PasteImageChannel2(1, 2, 0xFF000000, 0x0000FF00, -10, -10);
  const auto out = pixels(2);
  for (std::uint32_t y = 0; y < 50; ++y) {
    for (std::uint32_t x = 0; x < 50; ++x) {
      const std::uint32_t green = (source.word(x + 10, y + 10) >> 8) & 0xFF;
      ASSERT_EQ(out[y * 50 + x], (destination.word(x, y) & 0x00FFFFFF) | green << 24) << x << ", " << y;
    }
  }
  const auto written = pixels(2);
  PasteImageChannel2(1, 2, 0xFFFFFFFF, 0xFF, 50, 0);
  PasteImageChannel2(1, 2, 0xFFFFFFFF, 0xFF, 0, 50);
  PasteImageChannel2(1, 2, 0xFFFFFFFF, 0xFF, -100, 0);
  EXPECT_EQ(pixels(2), written);
}

TEST_F(ChannelCommands, OffsetPasteMatchesReferenceAtAnyOffset) {
  const int offsets[] = {INT_MIN, -100, -37, -36, -5, -1, 0, 1, 3, 19, 20, 21, 1000, INT_MAX};
  const TestImage source = makeRandom(1, 37, 9);
  for (int x : offsets) {
    for (int y : {INT_MIN, -8, -1, 0, 4, 21, INT_MAX}) {
      TestImage expected = makeRandom(2, 21, 22);
      referencePasteChannelAt(source, expected, 0x00FF00FF, 0x00FF0000, x, y);
      PasteImageChannel2(1, 2, 0x00FF00FF, 0x00FF0000, x, y);
      ASSERT_EQ(pixels(2), words(expected)) << x << ", " << y;
    }
  }
}

}  // namespace
}  // namespace filter_test
