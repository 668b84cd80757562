// Sharpen and emboss on plain memory against the reference loops, over
// awkward sizes and padded rows; then the worked values through the commands.
#include "convolution_reference.h"
#include "host_fixture.h"
#include "filters/instruction_sets.h"
#include "filters/test_image.h"
#include "plugin_test_hooks.h"

#include "filters/convolution/emboss.h"
#include "filters/convolution/sharpen.h"

#include <gtest/gtest.h>

#include <random>

namespace filter_test {
namespace {

using ::testing::ExitedWithCode;

// Random bytes, and images of a few colours whose hard edges drive the
// sharpen into both clamps and the emboss's running value to its limits.
std::vector<TestImage> testImages(std::uint32_t w, std::uint32_t h, std::mt19937& rng) {
  std::vector<TestImage> images;
  images.push_back(randomImage(w, h, rng, 4 * (rng() % 4)));
  images.push_back(paletteImage(w, h, rng, 8, {0xFF000000, 0x00FFFFFF, 0x80FF00FF}));
  images.push_back(paletteImage(w, h, rng, 0, {0x10101010, 0xFEFEFEFE, 0x7F808182, 0x00000000}));
  return images;
}

// The awkward sizes, and a few large enough for whole bands and tiles with
// edges of every kind.
std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes() {
  auto all = awkwardSizes();
  all.insert(all.end(), {{40, 33}, {100, 48}, {35, 16}, {18, 17}});
  return all;
}

// The filter against its reference on every size and test image, with
// every instruction set.
template <class Filter, class Reference>
void expectMatchesReference(Filter filter, Reference reference, std::uint32_t seed) {
  forEveryInstructionSet([&](const char* set) {
    std::mt19937 rng(seed);
    for (const auto& [w, h] : sizes()) {
      for (TestImage& real : testImages(w, h, rng)) {
        TestImage expected = real;
        reference(expected);
        filter(real.rect());
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << w << "x" << h << " " << set;
        ASSERT_TRUE(real.paddingIntact()) << w << "x" << h << " " << set;
      }
    }
  });
}

TEST(Sharpen, MatchesTheReference) {
  expectMatchesReference(
      [](const tessaly::PixelRect& image) {
        std::vector<std::uint8_t> copy(static_cast<std::size_t>(tessaly::sharpenCopyBytes(image)));
        tessaly::sharpenImage(image, copy.data());
      },
      referenceSharpen, 11);
}

TEST(Emboss, MatchesTheReference) {
  expectMatchesReference(
      [](const tessaly::PixelRect& image) {
        std::vector<std::uint8_t> grey(static_cast<std::size_t>(tessaly::embossGreyBytes(image)));
        tessaly::embossImage(image, grey.data());
      },
      referenceEmboss, 12);
}

class Convolution : public HostFixture {
 protected:
  template <class Command>
  std::vector<std::uint32_t> apply(UINT w, UINT h, const std::vector<std::uint32_t>& words, Command command) {
    makePlain(1, w, h, words);
    command(1);
    return pixels(1);
  }
  static std::uint32_t grey(std::uint32_t level, std::uint32_t alpha = 0xFF) {
    return alpha << 24 | level * 0x010101u;
  }
};

TEST_F(Convolution, UniformImages) {
  EXPECT_EQ(apply(6, 5, {0x80402010}, SharpenImage), std::vector<std::uint32_t>(30, 0x80402010));
  EXPECT_EQ(apply(6, 5, {0x80402010}, EmbossImage), std::vector<std::uint32_t>(30, 0x80808080));
}

TEST_F(Convolution, SharpenChangesOnlyInnerPixels) {
  // A 3 x 3 image: only the centre changes.
  const std::vector<std::uint32_t> nine{grey(9), grey(8), grey(7), grey(6), grey(50), grey(4), grey(3), grey(2),
                                        grey(1)};
  auto out = apply(3, 3, nine, SharpenImage);
  auto expected = nine;
  expected[4] = grey(5 * 50 - 8 - 6 - 4 - 2);
  EXPECT_EQ(out, expected);
  // Two rows or two columns: nothing is inner.
  std::mt19937 rng(3);
  for (auto [w, h] : {std::pair<UINT, UINT>{2, 9}, {9, 2}, {1, 5}, {5, 1}}) {
    std::vector<std::uint32_t> words(std::size_t{w} * h);
    for (auto& v : words) v = static_cast<std::uint32_t>(rng());
    EXPECT_EQ(apply(w, h, words, SharpenImage), words) << w << "x" << h;
  }
}

TEST_F(Convolution, SharpenOfOnePixelOnGrey) {
  std::vector<std::uint32_t> in(25, grey(20, 0x33));
  in[12] = grey(40, 0x44);
  const auto out = apply(5, 5, in, SharpenImage);
  for (UINT i = 0; i < 25; ++i) {
    const std::uint32_t alpha = i == 12 ? 0x44 : 0x33;
    const std::uint32_t level = i == 12 ? 120 : (i == 7 || i == 11 || i == 13 || i == 17) ? 0 : 20;
    EXPECT_EQ(out[i], grey(level, alpha)) << "pixel " << i;
  }
  std::vector<std::uint32_t> bright(25, 0xFF000000);
  bright[12] = grey(200);
  EXPECT_EQ(apply(5, 5, bright, SharpenImage)[12], grey(255));  // 1000, limited
}

TEST_F(Convolution, EmbossOfOnePixelIsMidGrey) {
  EXPECT_EQ(apply(1, 1, {0x11FFFFFF}, EmbossImage), std::vector<std::uint32_t>{0x11808080});
}

TEST_F(Convolution, EmbossOfAVerticalEdgeHalvesTowardRest) {
  const std::vector<std::uint32_t> darkToLight{128, 128, 128, 0, 0, 64, 96, 112, 120, 124, 126, 127, 127, 127, 127, 127};
  const std::vector<std::uint32_t> lightToDark{128, 128, 128, 255, 255, 191, 159, 143, 135, 131, 129, 128, 128, 128,
                                               128, 128};
  for (bool blackFirst : {true, false}) {
    std::vector<std::uint32_t> in(16 * 4);
    for (UINT i = 0; i < in.size(); ++i) in[i] = ((i % 16 < 4) == blackFirst) ? 0x20000000 : 0x20FFFFFF;
    const auto out = apply(16, 4, in, EmbossImage);
    const auto& levels = blackFirst ? darkToLight : lightToDark;
    for (UINT y = 0; y < 4; ++y)
      for (UINT x = 0; x < 16; ++x) EXPECT_EQ(out[y * 16 + x], grey(levels[x], 0x20)) << x << "," << y;
  }
}

class ConvolutionDeathTest : public Convolution {};

TEST_F(ConvolutionDeathTest, AMissingBufferEndsWithTheMemoryMessage) {
  makePlain(1, 4, 4, {0xFF808080});
  for (void (*command)(DWORD) : {SharpenImage, EmbossImage}) {
    EXPECT_EXIT(
        {
          plugin_test_hooks::failNextAllocation();
          command(1);
        },
        ExitedWithCode(1), fatalOutput("Could not allocate enough memory.", "Error"));
  }
}

}  // namespace
}  // namespace filter_test
