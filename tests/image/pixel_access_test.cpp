// Reading and writing single pixels: the edges, the refusals, and the write
// into a render target by a one-pixel quad.
#include "host_fixture.h"

#include "draw/draw_state.h"
#include "draw/quad_calls.h"
#include "draw/quad_renderer.h"
#include "image/image_lock.h"
#include "image/pixel_access.h"

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;
using ::testing::ExitedWithCode;

class PixelAccessTest : public HostFixture {};

TEST_F(PixelAccessTest, PointReadsInsideAndGivesZeroOutsideWithoutAnError) {
  Words words(5 * 3);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = 0x01010101u * static_cast<std::uint32_t>(i + 1);
  makePlain(1, 5, 3, words);
  EXPECT_EQ(GetImagePixel(1, 0, 0), words[0]);
  EXPECT_EQ(GetImagePixel(1, 4, 2), words[14]);
  EXPECT_EQ(GetImagePixel(1, 3, 1), words[8]);
  const int outside[][2] = {{5, 0}, {-1, 0}, {0, 3}, {0, -1}, {INT32_MIN, 0}, {INT32_MAX, INT32_MAX}};
  for (const auto& xy : outside) EXPECT_EQ(GetImagePixel(1, xy[0], xy[1]), 0u) << xy[0] << "," << xy[1];
}

TEST_F(PixelAccessTest, PointLocksOnlyThePixel) {
  makePlain(1, 5, 3, {0x80402010});
  swd3d::setCallLog(true);
  EXPECT_EQ(GetImagePixel(1, 4, 2), 0x80402010u);
  const std::vector<std::string> expected = {
      "GetSurfaceLevel(tex1, 0)", "GetDesc(tex1.level0)", "LockRect(tex1.level0, {4,2,5,3}, 0)",
      "UnlockRect(tex1.level0)",  "Release(tex1.level0)",
  };
  EXPECT_EQ(swd3d::takeCallLog(), expected);
  swd3d::setCallLog(false);
}

TEST_F(PixelAccessTest, NoImageIsError502) {
  EXPECT_EQ(GetImagePixel(4, 0, 0), 0u);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  SetImagePixel(4, 0, 0, 1);
  EXPECT_EQ(host->runtimeError(), 502);
  host->clearRuntimeError();
  EXPECT_TRUE(host->imageNumbers().empty());
}

TEST_F(PixelAccessTest, PointOnARenderTargetIsFatalButOnlyInsideIt) {
  makeRenderTarget(1, 4, 4);
  EXPECT_EQ(GetImagePixel(1, 4, 0), 0u);
  EXPECT_EXIT(GetImagePixel(1, 3, 3), ExitedWithCode(1),
              wholeOutput(fatalOutput("TS Point does not work on target images.", "TS Point - Error")));
}

TEST_F(PixelAccessTest, DotReplacesThePixelAlphaIncludedAndPointReadsItBack) {
  makePlain(1, 3, 3, {0xFFFFFFFF});
  const std::uint32_t colours[] = {0x00000000, 0x00123456, 0x7F808080, 0xFF000001};
  int x = 0;
  for (std::uint32_t colour : colours) {
    SetImagePixel(1, x % 3, x / 3, colour);
    EXPECT_EQ(GetImagePixel(1, x % 3, x / 3), colour);
    ++x;
  }
  EXPECT_EQ(pixels(1), (Words{0x00000000, 0x00123456, 0x7F808080, 0xFF000001, 0xFFFFFFFF, 0xFFFFFFFF,
                              0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST_F(PixelAccessTest, DotOutsideTheImageDoesNothing) {
  makePlain(1, 3, 2, {7});
  makeRenderTarget(2, 3, 2);
  swd3d::setCallLog(true);
  const int outside[][2] = {{3, 0}, {-1, 0}, {0, 2}, {0, -1}, {INT32_MIN, INT32_MAX}};
  for (const auto& xy : outside) {
    SetImagePixel(1, xy[0], xy[1], 0);
    SetImagePixel(2, xy[0], xy[1], 0);
  }
  for (const std::string& call : swd3d::takeCallLog()) {
    EXPECT_EQ(call.find("Lock"), std::string::npos) << call;
    EXPECT_EQ(call.find("Draw"), std::string::npos) << call;
  }
  swd3d::setCallLog(false);
  EXPECT_EQ(pixels(1), Words(6, 7));
}

// Into a render target: a cleared 1 x 1 texture drawn with replace blending
// and point filters onto the pixel, the blend factors and filters left on
// the device, the internal texture given back.
TEST_F(PixelAccessTest, DotOnARenderTargetDrawsAClearedPixelWithReplaceBlending) {
  makeRenderTarget(1, 8, 8);  // tex1
  SetBlendMode(16);
  SetFilters(2, 2, 2);
  swd3d::setCallLog(true);
  SetImagePixel(1, 5, 6, 0x80FF4000);
  std::vector<std::string> expected = {
      "GetSurfaceLevel(tex1, 0)",
      "GetDesc(tex1.level0)",
      "CreateTexture(1, 1, 1, 1, 21, 0)",
      "GetSurfaceLevel(tex2, 0)",
      "GetDesc(tex2.level0)",
      "SetRenderTarget(0, tex2.level0)",
      "Clear(0, null, 1, 0x80FF4000, 0, 0)",
      "SetRenderState(171, 1)",
      "SetRenderState(27, 1)",
      "SetRenderState(19, 2)",
      "SetRenderState(20, 1)",
      "SetRenderState(206, 0)",
      "SetSamplerState(0, 6, 1)",
      "SetSamplerState(0, 5, 1)",
      "SetSamplerState(0, 7, 1)",
  };
  for (const auto& call : quadCalls("tex1.level0", "tex2")) expected.push_back(call);
  for (const char* call : {"Release(tex2.level0)", "Release(tex2)", "Release(tex1.level0)"}) {
    expected.emplace_back(call);
  }
  EXPECT_EQ(swd3d::takeCallLog(), expected);
  swd3d::setCallLog(false);
  SetBlendMode(1);
  // The one-pixel quad covers exactly that pixel's centre.
  const tessaly::QuadVertex& first = tessaly::quadVertices[0];
  const tessaly::QuadVertex& third = tessaly::quadVertices[2];
  EXPECT_EQ(first.x, 4.5f);
  EXPECT_EQ(first.y, 5.5f);
  EXPECT_EQ(third.x, 5.5f);
  EXPECT_EQ(third.y, 6.5f);
}

// A surface with a usage other than render target (dynamic here) can be
// locked but not drawn into: the colour is written in memory, where a quad
// would have drawn nothing.
TEST_F(PixelAccessTest, DotOnADynamicImageWritesTheColourInMemory) {
  ASSERT_NE(host->makeImageFormat(1, 3, 2, D3DFMT_A8R8G8B8, D3DUSAGE_DYNAMIC), nullptr);
  SetImagePixel(1, 2, 1, 0x11223344);
  const auto read = standin::readPixels(host->device(), host->image(1));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->at(2, 1), 0x11223344u);
}

}  // namespace
