// Where the quad renderer's quads land: a texture drawn at its own size with
// replace blending and point sampling covers exactly its pixels, in either
// winding, and leaves every other pixel alone.
#include "host_fixture.h"

#include "draw/copy_by_drawing.h"
#include "draw/quad_renderer.h"
#include "image/image_lock.h"

#include <random>
#include <vector>

namespace {

using tessaly::ImageLock;
using tessaly::QuadCorners;
using Words = std::vector<std::uint32_t>;

constexpr std::uint32_t kBackground = 0x5A3C1E0F;

class QuadPixelsTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    texels.resize(64 * 64);
    std::mt19937 rng(64);
    for (auto& t : texels) t = static_cast<std::uint32_t>(rng());
    makePlain(1, 64, 64, texels);
    makeRenderTarget(2, 100, 100);
    ASSERT_TRUE(standin::writeTargetPixels(host->device(), host->image(2),
                                           {100, 100, Words(100 * 100, kBackground)}));
    ASSERT_TRUE(source.openImage(1));
    ASSERT_TRUE(target.openImage(2));
  }
  void TearDown() override {
    source.releaseSurface();
    target.releaseSurface();
    HostFixture::TearDown();
  }

  // The texture scaled by a whole factor at (left, top) on the background.
  Words expected(UINT left, UINT top, UINT scale) const {
    Words words(100 * 100, kBackground);
    for (UINT y = 0; y < 64 * scale && top + y < 100; ++y) {
      for (UINT x = 0; x < 64 * scale && left + x < 100; ++x) {
        words[std::size_t{top + y} * 100 + left + x] = texels[std::size_t{y / scale} * 64 + x / scale];
      }
    }
    return words;
  }

  Words texels;
  ImageLock source;
  ImageLock target;
};

TEST_F(QuadPixelsTest, AnImageAtItsOwnSizeLandsTexelForPixel) {
  tessaly::copyByDrawing(host->device(), target.surface, source.texture, 10, 20, 74, 84);
  EXPECT_EQ(pixels(2), expected(10, 20, 1));
}

TEST_F(QuadPixelsTest, TheOppositeWindingDrawsTheSamePixels) {
  QuadCorners corners = tessaly::imageCorners(10, 20, 74, 84);
  std::swap(corners[1], corners[3]);
  tessaly::copyByDrawing(host->device(), target.surface, source.texture, 0, 0, 0, 0);  // the states
  tessaly::drawQuad(host->device(), target.surface, source.texture, corners);
  EXPECT_EQ(pixels(2), expected(10, 20, 1));
}

TEST_F(QuadPixelsTest, WholeStretchesRepeatEachTexel) {
  tessaly::copyByDrawing(host->device(), target.surface, source.texture, 3, 5, 3 + 128, 5 + 128);
  EXPECT_EQ(pixels(2), expected(3, 5, 2)) << "cut at the target's edge";
}

}  // namespace
