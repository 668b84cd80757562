// Converting plain images to render targets in place, copying into render
// targets, and keeping the image when the render target cannot be made.
#include "host_fixture.h"

#include "image/image_lock.h"
#include "image/render_target_conversion.h"

#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

class RenderTargetConversionTest : public HostFixture {
 protected:
  D3DSURFACE_DESC desc(int image) const {
    D3DSURFACE_DESC d{};
    host->image(image)->GetLevelDesc(0, &d);
    return d;
  }
};

TEST_F(RenderTargetConversionTest, APlainImageBecomesARenderTargetOfItsSizeUnderItsNumber) {
  makePlain(3, 6, 5, {0xFF112233});
  ConvertToRenderTarget(3);
  EXPECT_EQ(IsTargetImage(3), 1u);
  EXPECT_EQ(desc(3).Width, 6u);
  EXPECT_EQ(desc(3).Height, 5u);
  EXPECT_EQ(host->imageNumbers(), std::vector<int>{3});
}

TEST_F(RenderTargetConversionTest, AnImageThatIsNotPlainIsLeftAsItIs) {
  makeRenderTarget(1, 4, 4);
  ASSERT_NE(host->makeImageFormat(2, 4, 4, D3DFMT_A8R8G8B8, D3DUSAGE_DYNAMIC), nullptr);
  IDirect3DTexture9* target = host->image(1);
  IDirect3DTexture9* dynamic = host->image(2);
  ConvertToRenderTarget(1);
  ConvertToRenderTarget(2);
  CopyToRenderTarget(1, 1);
  EXPECT_EQ(host->image(1), target);
  EXPECT_EQ(host->image(2), dynamic);
}

TEST_F(RenderTargetConversionTest, CopyingOntoItsOwnNumberConverts) {
  makePlain(3, 2, 7, {0xFF112233});
  CopyToRenderTarget(3, 3);
  EXPECT_EQ(IsTargetImage(3), 1u);
  EXPECT_EQ(desc(3).Height, 7u);
}

TEST_F(RenderTargetConversionTest, CopiesOfPlainImagesAndRenderTargetsAreRenderTargets) {
  makePlain(1, 3, 2, {0xFF112233});
  makeRenderTarget(2, 5, 4);
  CopyToRenderTarget(3, 1);
  CopyToRenderTarget(4, 2);
  EXPECT_EQ(IsTargetImage(3), 1u);
  EXPECT_EQ(IsTargetImage(4), 1u);
  EXPECT_EQ(desc(3).Width, 3u);
  EXPECT_EQ(desc(4).Width, 5u);
  EXPECT_EQ(IsTargetImage(1), 0u) << "the source is never changed";
}

TEST_F(RenderTargetConversionTest, MissingImagesAndBadNumbersAreError502) {
  ConvertToRenderTarget(9);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  makePlain(1, 2, 2, {5});
  makePlain(2, 2, 2, {6});
  CopyToRenderTarget(2, 9);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  CopyToRenderTarget(0, 1);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  EXPECT_EQ(pixels(2), Words(4, 6)) << "the destination stays when the source is missing";
  EXPECT_EQ(host->imageNumbers(), (std::vector<int>{1, 2}));
}

// An image under a number the host cannot make a render target under would be
// deleted and never made again: it is kept and the number is refused.
TEST_F(RenderTargetConversionTest, AnImageUnderANumberBelowOneIsKeptAndTheNumberRefused) {
  makePlain(-3, 2, 2, {0xFF445566});
  ConvertToRenderTarget(static_cast<DWORD>(-3));
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  EXPECT_EQ(IsTargetImage(static_cast<DWORD>(-3)), 0u);
  EXPECT_EQ(pixels(-3), Words(4, 0xFF445566));
}

// When the host cannot make the render target, the image comes back as a
// plain image of its size instead of being lost.
TEST_F(RenderTargetConversionTest, WhenTheRenderTargetCannotBeMadeTheImageIsKept) {
  makePlain(3, 6, 5, {0xFF112233});
  host->failingMakeFormatCalls = 1;
  ConvertToRenderTarget(3);
  ASSERT_TRUE(host->imageExists(3));
  EXPECT_EQ(IsTargetImage(3), 0u);
  EXPECT_EQ(desc(3).Width, 6u);
  EXPECT_EQ(desc(3).Height, 5u);
  EXPECT_EQ(host->runtimeError(), 0);
}

}  // namespace
