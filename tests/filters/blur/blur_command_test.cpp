// The four blur commands through the stand-in host: the radius and mode
// rules, the frame (502, render targets refused), the equalities between the
// forms, the memory message, and one pass against the reference on a host
// image whose rows are padded.
#include "blur_reference.h"
#include "host_fixture.h"

#include "filters/blur/blur_commands.h"
#include "plugin_test_hooks.h"
#include "win32/message_box_log.h"

#include <climits>
#include <cstring>
#include <random>

namespace {

using ::testing::ExitedWithCode;

std::vector<std::uint32_t> randomWords(std::size_t count, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint32_t> words(count);
  for (auto& w : words) w = static_cast<std::uint32_t>(rng());
  return words;
}

class BlurCommands : public HostFixture {
 protected:
  static constexpr UINT kWidth = 37, kHeight = 23;

  // A fresh random image under `number`; returns its words.
  std::vector<std::uint32_t> makeRandom(int number, std::uint32_t seed) {
    const auto words = randomWords(std::size_t{kWidth} * kHeight, seed);
    makePlain(number, kWidth, kHeight, words);
    return words;
  }
};

TEST_F(BlurCommands, RadiusBelowOneDoesNothingWhateverTheImageNumber) {
  const auto words = makeRandom(1, 1);
  for (int radius : {0, -1, INT_MIN}) {
    for (DWORD image : {1u, 99u}) {
      BlurImage(image, radius, 1);
      BlurImage2(image, radius);
      BlurImage_Horizontal(image, radius, 2);
      BlurImage_Vertical(image, radius, 3);
    }
  }
  EXPECT_EQ(pixels(1), words);  // and no runtime error, checked at teardown
}

TEST_F(BlurCommands, AnUnknownModeLeavesThePixels) {
  const auto words = makeRandom(1, 2);
  for (DWORD mode : {0u, 4u, 0xFFFFFFFFu}) {
    BlurImage(1, 5, mode);
    BlurImage_Horizontal(1, 5, mode);
    BlurImage_Vertical(1, 5, mode);
  }
  EXPECT_EQ(pixels(1), words);
}

TEST_F(BlurCommands, ANumberInNoUseSets502) {
  BlurImage(7, 3, 4);
  expectedRuntimeError = 502;
}

TEST_F(BlurCommands, EveryFormSets502ForANumberInNoUse) {
  const auto words = makeRandom(1, 3);
  BlurImage2(8, 2);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  BlurImage_Horizontal(8, 2, 1);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  BlurImage_Vertical(8, 2, 3);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  EXPECT_EQ(pixels(1), words);
}

TEST_F(BlurCommands, RenderTargetsAreRefusedByEveryForm) {
  makeRenderTarget(1, 4, 4);
  const std::string expected = fatalOutput("TS Blur Image does not work on render targets.", "TS Blur Image - Error");
  EXPECT_EXIT(BlurImage(1, 2, 1), ExitedWithCode(1), expected);
  EXPECT_EXIT(BlurImage2(1, 2), ExitedWithCode(1), expected);
  EXPECT_EXIT(BlurImage_Horizontal(1, 2, 2), ExitedWithCode(1), expected);
  // Even a mode that selects no pass: the image is tested first.
  EXPECT_EXIT(BlurImage_Vertical(1, 2, 9), ExitedWithCode(1), expected);
}

TEST_F(BlurCommands, BothDirectionsEqualHorizontalThenVertical) {
  for (DWORD mode : {1u, 2u, 3u}) {
    for (int radius : {1, 3, 9, 30, 100}) {
      const auto words = makeRandom(1, mode * 1000 + static_cast<std::uint32_t>(radius));
      makePlain(2, kWidth, kHeight, words);
      BlurImage(1, radius, mode);
      BlurImage_Horizontal(2, radius, mode);
      BlurImage_Vertical(2, radius, mode);
      EXPECT_EQ(pixels(1), pixels(2)) << "mode " << mode << " radius " << radius;
      EXPECT_NE(pixels(1), words);
    }
  }
}

TEST_F(BlurCommands, BlurImage2IsTheBoxBlur) {
  for (int radius : {1, 4, 36, 1000}) {
    const auto words = makeRandom(1, static_cast<std::uint32_t>(radius));
    makePlain(2, kWidth, kHeight, words);
    BlurImage2(1, radius);
    BlurImage(2, radius, 1);
    EXPECT_EQ(pixels(1), pixels(2)) << "radius " << radius;
  }
}

// The command reaches the same bytes as the reference loop on plain memory,
// through the host's padded surface rows.
TEST_F(BlurCommands, HostImagesGetTheReferenceResult) {
  for (DWORD mode : {1u, 2u, 3u}) {
    const auto words = makeRandom(1, 77 + mode);
    blur_test::TestImage expected(kWidth, kHeight);
    for (UINT y = 0; y < kHeight; ++y)
      for (UINT x = 0; x < kWidth; ++x) std::memcpy(&expected.channel(x, y, 0), &words[y * kWidth + x], 4);
    blur_test::referenceBlur(expected, static_cast<blur_test::Kernel>(mode - 1), blur_test::Passes::both, 6);
    BlurImage(1, 6, mode);
    const auto out = pixels(1);
    for (UINT y = 0; y < kHeight; ++y) {
      for (UINT x = 0; x < kWidth; ++x) {
        std::uint32_t want;
        std::memcpy(&want, &expected.channel(x, y, 0), 4);
        ASSERT_EQ(out[y * kWidth + x], want) << "mode " << mode << " at " << x << "," << y;
      }
    }
  }
}

// The memory message shows (the process goes on, no runtime error) and the
// image keeps its pixels; the caption is the pass's own, the box belongs to
// the host's window and shows the error icon.
TEST_F(BlurCommands, AFailedScratchShowsTheMemoryMessage) {
  const std::pair<DWORD, std::string> cases[] = {{1, "Error"}, {2, "Blur Image - Error"}, {3, "Blur Image - Error"}};
  standin::takeMessageBoxes();
  for (const auto& [mode, caption] : cases) {
    const auto words = makeRandom(1, mode);
    plugin_test_hooks::failNextAllocation();
    ::testing::internal::CaptureStderr();
    BlurImage(1, 4, mode);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "MessageBox [" + caption + "]: Could not allocate enough memory.\n")
        << "mode " << mode;
    EXPECT_EQ(pixels(1), words) << "mode " << mode;
    const auto boxes = standin::takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, host->window());
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONERROR));
  }
}

// A fatal box has no owner (the host's display is already closed) and the
// error icon.
TEST_F(BlurCommands, TheFatalBoxHasNoOwnerWindow) {
  makeRenderTarget(2, 4, 4);
  EXPECT_EXIT(
      {
        standin::showMessageBoxDetails(true);
        BlurImage(2, 3, 1);
      },
      ::testing::ExitedWithCode(1),
      wholeOutput(fatalOutput("TS Blur Image does not work on render targets\\. \\{owner null, style 0x10\\}",
                              "TS Blur Image - Error")));
}

}  // namespace
