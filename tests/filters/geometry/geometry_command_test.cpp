// The flip and resize commands through the stand-in host: plain images in
// memory against the reference loops, render targets drawn on the software
// device against the same loops, whatever the user left on the device, and
// the refusals.
#include "filters/geometry/geometry_reference.h"
#include "host_fixture.h"

#include "draw/blend_modes.h"
#include "draw/draw_state.h"
#include "draw/sampler_states.h"
#include "filters/geometry/geometry_commands.h"
#include "host/failure.h"
#include "image/image_creation.h"
#include "image/image_lock.h"

#include <functional>
#include <utility>

namespace filter_test {
namespace {

using ::testing::ExitedWithCode;
using Size = std::pair<std::uint32_t, std::uint32_t>;

const Size kSizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {7, 5}, {13, 17}, {64, 3}, {33, 31}};

struct Flip {
  const char* name;
  void (*command)(DWORD);
  void (*reference)(TestImage&);
};
const Flip kFlips[] = {{"horizontal", FlipImageHorizontally, referenceFlipHorizontally},
                       {"vertical", FlipImageVertically, referenceFlipVertically},
                       {"both", FlipImage, referenceFlipBoth}};

class GeometryCommands : public HostFixture {
 protected:
  Words makeRandomPlain(int number, Size size) {
    Words words = randomWords(size.first, size.second, rng);
    makePlain(number, size.first, size.second, words.pixels);
    return words;
  }
  Words makeRandomTarget(int number, Size size) {
    Words words = randomWords(size.first, size.second, rng);
    makeRenderTarget(number, size.first, size.second);
    EXPECT_TRUE(standin::writeTargetPixels(host->device(), host->image(number),
                                           {size.first, size.second, words.pixels}));
    return words;
  }
  Words image(int number) {
    auto read = standin::readPixels(host->device(), host->image(number));
    return read ? Words{read->width, read->height, read->words} : Words{};
  }
  // What a paste with linear filters, mirrored addressing and a subtracting
  // blend leaves on the device: the commands must not draw with it.
  void leaveUserStates() {
    SetFilters(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
    tessaly::applyBlendMode(host->device(), 16);
    tessaly::applySamplerStates(host->device(), D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR,
                                D3DTADDRESS_MIRROR, D3DTADDRESS_BORDER);
  }
  static Words flipped(const Words& words, const Flip& flip) {
    TestImage expected = imageOf(words);
    flip.reference(expected);
    return wordsOf(expected);
  }

  std::mt19937 rng{70};
};

TEST_F(GeometryCommands, FlipsOfPlainImagesMatchReference) {
  for (Size size : kSizes) {
    for (const Flip& flip : kFlips) {
      const Words before = makeRandomPlain(1, size);
      flip.command(1);
      ASSERT_EQ(image(1), flipped(before, flip)) << flip.name << " " << size.first << "x" << size.second;
    }
  }
}

// A mirrored quad of the image's own size is an exact permutation of its
// texels, so a render target flips exactly as a plain image does.
TEST_F(GeometryCommands, FlipsOfRenderTargetsEqualTheFlipsInMemory) {
  for (Size size : kSizes) {
    for (const Flip& flip : kFlips) {
      leaveUserStates();
      const Words before = makeRandomTarget(2, size);
      flip.command(2);
      ASSERT_EQ(image(2), flipped(before, flip)) << flip.name << " " << size.first << "x" << size.second;
      EXPECT_EQ(IsTargetImage(2), 1u);
      flip.command(2);
      ASSERT_EQ(image(2), before) << "twice " << flip.name;
    }
  }
}

TEST_F(GeometryCommands, FlipImageIsHorizontalThenVerticalOnBothKinds) {
  for (bool target : {false, true}) {
    const Words before = target ? makeRandomTarget(3, {11, 6}) : makeRandomPlain(3, {11, 6});
    FlipImage(3);
    EXPECT_EQ(image(3), flipped(flipped(before, kFlips[0]), kFlips[1])) << (target ? "render target" : "plain");
  }
}

TEST_F(GeometryCommands, RenderTargetResizedTwiceByPointSamplingRepeatsEachPixel) {
  leaveUserStates();
  const Words before = makeRandomTarget(1, {7, 5});
  ResizeImage(1, 14, 10, 0);
  const Words twice = image(1);
  ASSERT_EQ(twice.width, 14u);
  ASSERT_EQ(twice.height, 10u);
  for (std::uint32_t y = 0; y < 10; ++y)
    for (std::uint32_t x = 0; x < 14; ++x) ASSERT_EQ(twice.at(x, y), before.at(x / 2, y / 2)) << x << ", " << y;
  EXPECT_EQ(IsTargetImage(1), 1u);
}

// At its own size either filter lands texel for pixel; any other mode keeps
// the device's filters, here the point sampling a flip leaves.
TEST_F(GeometryCommands, RenderTargetResizedToItsOwnSizeStaysExactInEveryMode) {
  for (DWORD mode : {0u, 1u, 2u, 0xFFFFFFFFu}) {
    const Words before = makeRandomTarget(1, {13, 9});
    FlipImage(1);
    FlipImage(1);
    ResizeImage(1, 13, 9, mode);
    EXPECT_EQ(image(1), before) << "mode " << mode;
    EXPECT_EQ(IsTargetImage(1), 1u);
  }
}

// Shrinking and stretching by factors that are no integers: the new render
// target has the new size and only colours of the old one (nearest), or
// colours within the old one's range (bilinear).
TEST_F(GeometryCommands, RenderTargetResizeGivesTheNewSize) {
  CreateTargetImage2(1, 10, 10, 0x40404040);
  for (Size to : {Size{1, 1}, Size{17, 3}, Size{3, 29}, Size{300, 7}}) {
    for (DWORD mode : {0u, 1u}) {
      ResizeImage(1, to.first, to.second, mode);
      const Words now = image(1);
      ASSERT_EQ(now.width, to.first);
      ASSERT_EQ(now.height, to.second);
      for (std::uint32_t word : now.pixels) ASSERT_EQ(word, 0x40404040u) << to.first << "x" << to.second;
    }
  }
}

TEST_F(GeometryCommands, PlainResizeThroughTheCommandMatchesReference) {
  const Words before = makeRandomPlain(4, {9, 7});
  ResizeImage(4, 20, 3, 1);
  EXPECT_EQ(image(4), referenceResizeBilinear(before, 20, 3));
  EXPECT_EQ(IsTargetImage(4), 0u);
}

TEST_F(GeometryCommands, PlainResizeKeepsTheImageWhenTheNewOneCannotBeMade) {
  const Words before = makeRandomPlain(4, {9, 7});
  host->failingMakeCalls = 1;
  ResizeImage(4, 20, 3, 0);
  EXPECT_EQ(host->failingMakeCalls, 0) << "the host was asked";
  EXPECT_EQ(image(4), before);
}

TEST_F(GeometryCommands, RenderTargetResizeThatCannotMakeTheNewImageIsFatal) {
  makeRandomTarget(1, {6, 6});
  host->failingMakeFormatCalls = 1;
  EXPECT_EXIT(ResizeImage(1, 12, 12, 1), ExitedWithCode(1),
              wholeOutput(fatalOutput("Could not create a new texture while resizing.", "Error")));
  host->failingMakeFormatCalls = 0;
}

TEST_F(GeometryCommands, MissingImagesAreReportedAndNothingIsMade) {
  const std::function<void()> commands[] = {[] { FlipImageHorizontally(9); }, [] { FlipImageVertically(9); },
                                            [] { FlipImage(9); }, [] { ResizeImage(9, 4, 4, 0); }};
  for (const auto& command : commands) {
    command();
    EXPECT_EQ(host->image(9), nullptr);
  }
  expectedRuntimeError = tessaly::runtime_error::kNoSuchImage;
}

}  // namespace
}  // namespace filter_test
