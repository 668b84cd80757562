// Copying images whole and by rectangle: plain sources in memory, other
// sources into render targets; the rectangle rules and the failures.
#include "host_fixture.h"

#include "image/image_copy.h"
#include "image/image_lock.h"

#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;
using ::testing::ExitedWithCode;

// A picture whose every word tells where it came from: 0xAA00YYXX.
Words numbered(UINT width, UINT height) {
  Words words(std::size_t{width} * height);
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) words[std::size_t{y} * width + x] = 0xAA000000u | (y << 8) | x;
  }
  return words;
}

// The words of the rectangle (left, top) to (right, bottom) of a numbered picture.
Words numberedPart(UINT left, UINT top, UINT right, UINT bottom) {
  Words words;
  for (UINT y = top; y < bottom; ++y) {
    for (UINT x = left; x < right; ++x) words.push_back(0xAA000000u | (y << 8) | x);
  }
  return words;
}

class ImageCopyTest : public HostFixture {
 protected:
  D3DSURFACE_DESC desc(int image) const {
    D3DSURFACE_DESC d{};
    host->image(image)->GetLevelDesc(0, &d);
    return d;
  }
};

TEST_F(ImageCopyTest, APlainSourceGivesAnExactPlainCopyAndStaysAsItWas) {
  for (UINT side : {1u, 5u, 33u}) {
    makePlain(1, side, side + 2, numbered(side, side + 2));
    makePlain(2, 3, 3, {0});  // replaced
    CopyImage(2, 1);
    EXPECT_EQ(pixels(2), numbered(side, side + 2)) << side;
    EXPECT_EQ(pixels(1), numbered(side, side + 2));
    EXPECT_EQ(IsTargetImage(2), 0u);
  }
}

TEST_F(ImageCopyTest, ARenderTargetSourceGivesARenderTargetOfItsSize) {
  makeRenderTarget(1, 7, 4);
  CopyImage(2, 1);
  EXPECT_EQ(IsTargetImage(2), 1u);
  EXPECT_EQ(desc(2).Width, 7u);
  EXPECT_EQ(desc(2).Height, 4u);
}

TEST_F(ImageCopyTest, CopyingOntoItsOwnNumberDoesNothingWithTwoArgumentsAndIsFatalWithSix) {
  makePlain(1, 2, 2, {5});
  swd3d::setCallLog(true);
  CopyImage(1, 1);
  EXPECT_TRUE(swd3d::takeCallLog().empty());
  swd3d::setCallLog(false);
  EXPECT_EXIT(CopyImage2(1, 1, 0, 0, 1, 1), ExitedWithCode(1),
              wholeOutput(fatalOutput("Cannot copy image to itself.", "Error")));
}

TEST_F(ImageCopyTest, AMissingSourceIsError502AndTheDestinationIsKept) {
  makePlain(2, 2, 2, {5});
  CopyImage(2, 9);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  CopyImage2(2, 9, 0, 0, 1, 1);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  EXPECT_EQ(pixels(2), Words(4, 5));
}

TEST_F(ImageCopyTest, ADestinationNumberOfZeroOrLessIsError502) {
  makePlain(1, 2, 2, {5});
  makeRenderTarget(3, 2, 2);
  for (int number : {0, -4}) {
    for (DWORD source : {1u, 3u}) {
      CopyImage(static_cast<DWORD>(number), source);
      EXPECT_EQ(host->runtimeError(), 502);
      host->clearRuntimeError();
      CopyImage2(static_cast<DWORD>(number), source, 0, 0, 2, 2);
      EXPECT_EQ(host->runtimeError(), 502);
      host->clearRuntimeError();
    }
  }
  EXPECT_EQ(host->imageNumbers(), (std::vector<int>{1, 3}));
}

TEST_F(ImageCopyTest, RectanglesAreCutToTheSource) {
  struct Case {
    int left, top, right, bottom;
    UINT expectLeft, expectTop, expectRight, expectBottom;
  };
  const Case cases[] = {
      {0, 0, 20, 10, 0, 0, 20, 10},                   // the whole source
      {-5, -5, 10, 10, 0, 0, 10, 10},                 // its top-left corner
      {3, 4, 5, 5, 3, 4, 5, 5},                       // inside
      {19, 9, 20, 10, 19, 9, 20, 10},                 // the last pixel
      {15, 7, 100, 100, 15, 7, 20, 10},               // over the far edges
      {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0, 20, 10},
  };
  makePlain(1, 20, 10, numbered(20, 10));
  for (const Case& c : cases) {
    CopyImage2(2, 1, c.left, c.top, c.right, c.bottom);
    const UINT width = c.expectRight - c.expectLeft;
    const UINT height = c.expectBottom - c.expectTop;
    ASSERT_TRUE(host->imageExists(2)) << c.left << "," << c.top;
    EXPECT_EQ(desc(2).Width, width);
    EXPECT_EQ(desc(2).Height, height);
    EXPECT_EQ(pixels(2), numberedPart(c.expectLeft, c.expectTop, c.expectRight, c.expectBottom))
        << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    EXPECT_EQ(IsTargetImage(2), 0u);
    host->deleteImage(2);
  }
}

// None of these has a pixel of the 20 x 10 source in it: nothing is made,
// nothing deleted, no error. The edges at 0 would otherwise ask the host for
// an image 0 pixels wide or high.
TEST_F(ImageCopyTest, RectanglesWithNoPixelOfTheSourceDoNothing) {
  const int cases[][4] = {
      {5, 5, 5, 9},   {5, 5, 9, 5},     {9, 5, 5, 9},           {5, 9, 9, 5},
      {-9, 0, -1, 5}, {0, -9, 5, -1},   {20, 0, 30, 5},         {0, 10, 5, 20},
      {-5, 0, 0, 5},  {0, -5, 5, 0},    {INT32_MAX, 0, INT32_MIN, 5},
  };
  makePlain(1, 20, 10, numbered(20, 10));
  makeRenderTarget(3, 20, 10);
  makePlain(2, 2, 2, {5});
  for (const auto& c : cases) {
    for (DWORD source : {1u, 3u}) {
      CopyImage2(2, source, c[0], c[1], c[2], c[3]);
      EXPECT_EQ(pixels(2), Words(4, 5)) << c[0] << "," << c[1] << "," << c[2] << "," << c[3];
    }
  }
}

TEST_F(ImageCopyTest, ARenderTargetRectangleGivesARenderTargetOfTheCutSize) {
  makeRenderTarget(1, 20, 10);
  CopyImage2(2, 1, -5, 3, 8, 50);
  EXPECT_EQ(IsTargetImage(2), 1u);
  EXPECT_EQ(desc(2).Width, 8u);
  EXPECT_EQ(desc(2).Height, 7u);
}

TEST_F(ImageCopyTest, WhenTheHostCannotMakeTheCopyTheSourceIsUnlockedAndReleased) {
  makePlain(1, 4, 4, numbered(4, 4));
  makePlain(2, 2, 2, {5});
  host->failingMakeCalls = 2;
  CopyImage(2, 1);
  CopyImage2(3, 1, 0, 0, 2, 2);
  EXPECT_EQ(host->imageNumbers(), std::vector<int>{1});
  // The fixture checks that nothing stayed locked or referenced.
  makeRenderTarget(4, 4, 4);
  host->failingMakeFormatCalls = 2;
  CopyImage(5, 4);
  CopyImage2(5, 4, 0, 0, 2, 2);
  EXPECT_EQ(host->imageNumbers(), (std::vector<int>{1, 4}));
}

// A host whose images can be no larger than 4 x 4 makes a smaller copy than
// asked for: the copy takes what fits and writes nothing past it.
TEST_F(ImageCopyTest, ACopyLargerThanTheHostCanMakeTakesWhatFits) {
  makePlain(1, 9, 6, numbered(9, 6));
  host->largestImageSide = 4;
  CopyImage(2, 1);
  EXPECT_EQ(pixels(2), numberedPart(0, 0, 4, 4));
  CopyImage2(3, 1, 2, 1, 9, 6);
  EXPECT_EQ(pixels(3), numberedPart(2, 1, 6, 5));
}

}  // namespace
