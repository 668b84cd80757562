// Creating plain images and render targets, with and without a colour.
#include "host_fixture.h"

#include "image/image_creation.h"
#include "image/image_lock.h"

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

class ImageCreationTest : public HostFixture {
 protected:
  Words screen() const {
    auto read = standin::readSurfacePixels(host->device(), host->screenSurface());
    return read ? read->words : Words{};
  }
  void fillScreen(D3DCOLOR colour) {
    ASSERT_EQ(host->device()->ColorFill(host->screenSurface(), nullptr, colour), D3D_OK);
  }
  UINT width(int image) const {
    D3DSURFACE_DESC desc{};
    host->image(image)->GetLevelDesc(0, &desc);
    return desc.Width;
  }
};

constexpr DWORD asNumber(int image) { return static_cast<DWORD>(image); }

TEST_F(ImageCreationTest, ThreeArgumentFormsRefuseOnlyZeroEachWithItsOwnCode) {
  CreateImage(0, 4, 4);
  EXPECT_EQ(host->runtimeError(), 501);
  host->clearRuntimeError();
  CreateTargetImage(0, 4, 4);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  EXPECT_TRUE(host->imageNumbers().empty());

  // Negative numbers go to the host, which here makes images under them.
  CreateImage(asNumber(-1), 3, 2);
  CreateTargetImage(asNumber(-7), 2, 3);
  EXPECT_EQ(host->runtimeError(), 0);
  EXPECT_EQ(host->imageNumbers(), (std::vector<int>{-7, -1}));
  EXPECT_EQ(IsTargetImage(asNumber(-1)), 0u);
  EXPECT_EQ(IsTargetImage(asNumber(-7)), 1u);
}

TEST_F(ImageCreationTest, ANumberInUseIsReplacedAndSizesGoToTheHostUnchecked) {
  makePlain(3, 2, 2, {0xFF000000});
  CreateImage(3, 5, 6);
  EXPECT_EQ(width(3), 5u);
  CreateTargetImage(3, 9, 2);
  EXPECT_EQ(width(3), 9u);
  EXPECT_EQ(IsTargetImage(3), 1u);
  // This host makes nothing of width 0: the old image is gone all the same,
  // and no error is raised.
  CreateImage(3, 0, 5);
  EXPECT_FALSE(host->imageExists(3));
  CreateTargetImage2(4, 5, -1, 0xFFFFFFFF);
  EXPECT_FALSE(host->imageExists(4));
}

TEST_F(ImageCreationTest, WithAColourEveryPixelGetsItExactlyAndNoPaddingIsWritten) {
  struct Case {
    UINT width, height;
    std::uint32_t colour;
  };
  const Case cases[] = {{1, 1, 0x00000000}, {7, 3, 0x00FFFFFF}, {3, 7, 0x80123456},
                        {64, 2, 0xFFFFFFFF}, {1, 9, 0x01020304}};
  int image = 1;
  for (const Case& c : cases) {
    makePlain(image, 2, 2, {0xDEADBEEF});  // replaced
    CreateImage2(asNumber(image), static_cast<int>(c.width), static_cast<int>(c.height), c.colour);
    EXPECT_EQ(pixels(image), Words(std::size_t{c.width} * c.height, c.colour)) << image;
    EXPECT_EQ(IsTargetImage(asNumber(image)), 0u);
    CreateTargetImage2(asNumber(image + 100), static_cast<int>(c.width), static_cast<int>(c.height),
                       c.colour);
    EXPECT_EQ(pixels(image + 100), Words(std::size_t{c.width} * c.height, c.colour)) << image;
    EXPECT_EQ(IsTargetImage(asNumber(image + 100)), 1u);
    ++image;
  }
}

TEST_F(ImageCreationTest, WithAColourNumbersZeroAndBelowAreRefusedAndNothingIsTouched) {
  makePlain(1, 2, 2, {7});
  for (int number : {0, -1, INT32_MIN}) {
    CreateImage2(asNumber(number), 4, 4, 0xFFFFFFFF);
    EXPECT_EQ(host->runtimeError(), 502) << number;
    host->clearRuntimeError();
    CreateTargetImage2(asNumber(number), 4, 4, 0xFFFFFFFF);
    EXPECT_EQ(host->runtimeError(), 502) << number;
    host->clearRuntimeError();
  }
  EXPECT_EQ(host->imageNumbers(), std::vector<int>{1});
}

TEST_F(ImageCreationTest, WhenTheHostCannotMakeTheImageTheOldOneIsGoneWithoutAnError) {
  makePlain(1, 2, 2, {7});
  makePlain(2, 2, 2, {7});
  host->failingMakeCalls = 1;
  host->failingMakeFormatCalls = 1;
  CreateImage2(1, 4, 4, 0xFF00FF00);
  CreateTargetImage2(2, 4, 4, 0xFF00FF00);
  EXPECT_TRUE(host->imageNumbers().empty());
}

TEST_F(ImageCreationTest, ARenderTargetIsClearedThenTheScreenIsBoundAgain) {
  fillScreen(0xFF0000FF);
  swd3d::setCallLog(true);
  CreateTargetImage2(5, 3, 2, 0x7F102030);
  const std::vector<std::string> expected = {
      "CreateTexture(3, 2, 1, 1, 21, 0)",
      "GetSurfaceLevel(tex1, 0)",
      "GetDesc(tex1.level0)",
      "SetRenderTarget(0, tex1.level0)",
      "Clear(0, null, 1, 0x7F102030, 0, 0)",
      "SetRenderTarget(0, backbuffer)",
      "Release(tex1.level0)",
  };
  EXPECT_EQ(swd3d::takeCallLog(), expected);
  swd3d::setCallLog(false);
  EXPECT_EQ(screen(), Words(640 * 480, 0xFF0000FF));
}

// Were the clear done anyway, it would wipe the screen, still bound.
TEST_F(ImageCreationTest, ARenderTargetThatCannotBeBoundIsNotClearedAndNeitherIsTheScreen) {
  fillScreen(0xFF0000FF);
  swd3d::failNext(swd3d::Call::SetRenderTarget);
  CreateTargetImage2(5, 3, 2, 0x7F102030);
  EXPECT_EQ(screen(), Words(640 * 480, 0xFF0000FF));
  EXPECT_TRUE(host->imageExists(5));
}

}  // namespace
