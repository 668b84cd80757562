// What the copies into render targets and the pixel write into a render
// target leave in the pixels: the drawn quads land texel for pixel, alpha
// included, whatever the user's draw state and the device's blend states.
#include "host_fixture.h"

#include "draw/blend_modes.h"
#include "draw/draw_state.h"
#include "draw/sampler_states.h"
#include "image/image_copy.h"
#include "image/image_lock.h"
#include "image/pixel_access.h"
#include "image/render_target_conversion.h"

#include <random>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

// Random words, every alpha from 0 to 255 among them: a replace must carry
// even fully transparent texels over unchanged.
Words randomWords(UINT width, UINT height, unsigned seed) {
  Words words(std::size_t{width} * height);
  std::mt19937 rng(seed);
  for (auto& w : words) w = static_cast<std::uint32_t>(rng());
  for (std::size_t i = 0; i < words.size() && i < 256; ++i) words[i] = (words[i] & 0x00FFFFFFu) | (static_cast<std::uint32_t>(i) << 24);
  return words;
}

Words part(const Words& words, UINT width, UINT left, UINT top, UINT right, UINT bottom) {
  Words out;
  for (UINT y = top; y < bottom; ++y) {
    for (UINT x = left; x < right; ++x) out.push_back(words[std::size_t{y} * width + x]);
  }
  return out;
}

class DrawnCopiesTest : public HostFixture {
 protected:
  void makeTarget(int number, UINT width, UINT height, const Words& words) {
    makeRenderTarget(number, width, height);
    ASSERT_TRUE(standin::writeTargetPixels(host->device(), host->image(number), {width, height, words}));
  }
  // The blend and sampler states a paste with the user's draw state leaves.
  void leaveUserStates(DWORD mode, DWORD filter) {
    SetBlendMode(mode);
    SetFilters(filter, filter, filter);
    SetAddressUV(D3DTADDRESS_BORDER, D3DTADDRESS_MIRROR);
    tessaly::applyBlendMode(host->device(), mode);
    tessaly::applySamplerStates(host->device(), filter, filter, filter, D3DTADDRESS_BORDER,
                                D3DTADDRESS_MIRROR);
    host->device()->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF00FF00);
  }
  void TearDown() override {
    SetBlendMode(1);
    HostFixture::TearDown();
  }
};

TEST_F(DrawnCopiesTest, CopiesOfRenderTargetsLandTexelForPixelWhateverTheUserSet) {
  const Words words = randomWords(37, 23, 1);
  makeTarget(1, 37, 23, words);
  for (DWORD mode : {1u, 4u, 16u, 18u}) {
    leaveUserStates(mode, D3DTEXF_LINEAR);
    CopyImage(2, 1);
    EXPECT_EQ(pixels(2), words) << "mode " << mode;
    EXPECT_EQ(IsTargetImage(2), 1u);
    CopyToRenderTarget(3, 1);
    EXPECT_EQ(pixels(3), words) << "mode " << mode;
  }
  EXPECT_EQ(pixels(1), words) << "the source is never changed";
}

TEST_F(DrawnCopiesTest, RectanglesOfRenderTargetsLandAtTheTopLeft) {
  const Words words = randomWords(37, 23, 2);
  makeTarget(1, 37, 23, words);
  const int cases[][4] = {{0, 0, 37, 23}, {5, 3, 9, 20}, {-5, -5, 10, 10}, {30, 20, 100, 100}, {36, 22, 37, 23}};
  for (const auto& c : cases) {
    leaveUserStates(17, D3DTEXF_LINEAR);
    CopyImage2(2, 1, c[0], c[1], c[2], c[3]);
    const UINT left = static_cast<UINT>(std::max(c[0], 0));
    const UINT top = static_cast<UINT>(std::max(c[1], 0));
    EXPECT_EQ(pixels(2), part(words, 37, left, top, std::min(c[2], 37), std::min(c[3], 23)))
        << c[0] << "," << c[1] << "," << c[2] << "," << c[3];
  }
}

TEST_F(DrawnCopiesTest, PlainImagesBecomeRenderTargetsWithTheSameWords) {
  const Words words = randomWords(31, 17, 3);
  makePlain(1, 31, 17, words);
  leaveUserStates(6, D3DTEXF_LINEAR);
  CopyToRenderTarget(2, 1);
  EXPECT_EQ(pixels(2), words);
  ConvertToRenderTarget(1);
  EXPECT_EQ(IsTargetImage(1), 1u);
  EXPECT_EQ(pixels(1), words);
}

// The render target cannot be made: the image comes back as a plain image
// holding exactly what it held.
TEST_F(DrawnCopiesTest, AConversionThatFailsKeepsEveryWord) {
  const Words words = randomWords(29, 13, 4);
  makePlain(1, 29, 13, words);
  host->failingMakeFormatCalls = 1;
  ConvertToRenderTarget(1);
  EXPECT_EQ(IsTargetImage(1), 0u);
  EXPECT_EQ(pixels(1), words);
  CopyToRenderTarget(1, 1);  // the host can make it now
  EXPECT_EQ(IsTargetImage(1), 1u);
  EXPECT_EQ(pixels(1), words);
}

TEST_F(DrawnCopiesTest, DotOnARenderTargetWritesTheColourExactlyAndNothingElse) {
  const Words words = randomWords(9, 7, 5);
  makeTarget(1, 9, 7, words);
  Words expected = words;
  const std::uint32_t colours[] = {0x00000000, 0x7F102030, 0xFFFFFFFF, 0x01FF00FF, 0x80808080};
  int step = 0;
  for (DWORD mode : {0u, 1u, 2u, 4u, 6u, 15u, 16u, 17u, 18u, 19u, 20u, 21u}) {
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
      leaveUserStates(mode, filter);
      const int x = step % 9;
      const int y = (step * 5) % 7;
      const std::uint32_t colour = colours[step % 5];
      SetImagePixel(1, x, y, colour);
      expected[static_cast<std::size_t>(y) * 9 + static_cast<std::size_t>(x)] = colour;
      ASSERT_EQ(pixels(1), expected) << "mode " << mode << ", filter " << filter;
      ++step;
    }
  }
}

}  // namespace
