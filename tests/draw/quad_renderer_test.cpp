// The quad renderer: its exact calls, the vertices it hands Direct3D, and the
// device state it leaves behind.
#include "host_fixture.h"
#include "quad_calls.h"

#include "draw/blend_modes.h"
#include "draw/quad_renderer.h"
#include "host/host_link.h"
#include "image/image_lock.h"

#include <string>
#include <vector>

namespace {

using tessaly::drawQuad;
using tessaly::ImageLock;
using tessaly::QuadCorners;
using Log = std::vector<std::string>;

class QuadRendererTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    makePlain(1, 4, 4, {0xFF204060});  // tex1
    makeRenderTarget(2, 8, 8);         // tex2
    ASSERT_TRUE(source.openImage(1));
    ASSERT_TRUE(target.openImage(2));
  }
  void TearDown() override {
    source.releaseSurface();
    target.releaseSurface();
    swd3d::setCallLog(false);
    HostFixture::TearDown();
  }

  DWORD renderState(D3DRENDERSTATETYPE state) const {
    DWORD value = 0xDEADBEEF;
    host->device()->GetRenderState(state, &value);
    return value;
  }

  ImageLock source;
  ImageLock target;
};

const Log kRestore = {
    "SetRenderTarget(0, backbuffer)", "SetDepthStencilSurface(depthstencil)",
    "SetRenderState(27, 0)",          "SetRenderState(7, 1)",
    "SetRenderState(171, 1)",
};

TEST_F(QuadRendererTest, SetsEveryStateDrawsOneFanAndPutsTheHostSurfacesBack) {
  swd3d::setCallLog(true);
  drawQuad(host->device(), target.surface, source.texture, tessaly::imageCorners(1, 2, 5, 6));
  const Log expected = quadCalls("tex2.level0", "tex1");
  EXPECT_EQ(swd3d::takeCallLog(), expected);
}

TEST_F(QuadRendererTest, VerticesAreTheCornersHalfAPixelUpAndLeft) {
  const QuadCorners corners = {{{10, 20, 0x11223344, 0.25f, -1},
                                {74.5f, 20, 0x55667788, 2, 0},
                                {74, 84, 0xFFFFFFFF, 1, 1},
                                {-3, 1e9f, 0, 0, 1}}};
  drawQuad(host->device(), target.surface, source.texture, corners);
  for (std::size_t i = 0; i < 4; ++i) {
    const tessaly::QuadVertex& v = tessaly::quadVertices[i];
    EXPECT_EQ(v.x, corners[i].x - 0.5f) << i;
    EXPECT_EQ(v.y, corners[i].y - 0.5f) << i;
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(v.rhw, 1.0f);
    EXPECT_EQ(v.diffuse, corners[i].colour);
    EXPECT_EQ(v.u, corners[i].u);
    EXPECT_EQ(v.v, corners[i].v);
  }
  EXPECT_EQ(offsetof(tessaly::QuadVertex, diffuse), 16u);
  EXPECT_EQ(offsetof(tessaly::QuadVertex, u), 20u);
}

TEST_F(QuadRendererTest, ImageCornersRunRoundTheEdgeFromTopLeft) {
  const QuadCorners c = tessaly::imageCorners(1, 2, 3, 4);
  const float expected[4][4] = {{1, 2, 0, 0}, {3, 2, 1, 0}, {3, 4, 1, 1}, {1, 4, 0, 1}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(c[i].x, expected[i][0]);
    EXPECT_EQ(c[i].y, expected[i][1]);
    EXPECT_EQ(c[i].u, expected[i][2]);
    EXPECT_EQ(c[i].v, expected[i][3]);
    EXPECT_EQ(c[i].colour, tessaly::kOpaqueWhite);
  }
}

TEST_F(QuadRendererTest, LeavesBlendingOffAddAndDepthOnWhateverStoodBefore) {
  IDirect3DDevice9* device = host->device();
  for (DWORD mode : {16u, 17u, 18u, 1u, 20u}) {
    tessaly::applyBlendMode(device, mode);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    drawQuad(device, target.surface, source.texture, tessaly::imageCorners(0, 0, 4, 4));
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), 0u) << mode;
    EXPECT_EQ(renderState(D3DRS_BLENDOP), static_cast<DWORD>(D3DBLENDOP_ADD)) << mode;
    EXPECT_EQ(renderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE)) << mode;
  }
  // The factors and the stage states stay as they were set.
  EXPECT_EQ(renderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
  EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
  IDirect3DBaseTexture9* bound = nullptr;
  device->GetTexture(0, &bound);
  EXPECT_EQ(bound, source.texture) << "the texture stays bound";
  if (bound != nullptr) bound->Release();
}

TEST_F(QuadRendererTest, TheScreenIsBoundAfterwardsWhateverWasBoundBefore) {
  IDirect3DDevice9* device = host->device();
  ImageLock other;
  other.makeInternal(2, 2);
  device->SetRenderTarget(0, other.surface);
  device->SetDepthStencilSurface(nullptr);
  drawQuad(device, target.surface, source.texture, tessaly::imageCorners(0, 0, 4, 4));
  IDirect3DSurface9* bound = nullptr;
  device->GetRenderTarget(0, &bound);
  EXPECT_EQ(bound, host->screenSurface());
  bound->Release();
  device->GetDepthStencilSurface(&bound);
  EXPECT_EQ(bound, host->screenDepthSurface());
  bound->Release();
  other.releaseSurface();
  other.texture->Release();
}

// A surface that cannot be bound gets no quad, and neither does the surface
// the device still has bound (here the screen): the quad is not drawn at all.
TEST_F(QuadRendererTest, ATargetThatCannotBeBoundIsNotDrawnOnAnythingElse) {
  swd3d::failNext(swd3d::Call::SetRenderTarget);
  swd3d::setCallLog(true);
  drawQuad(host->device(), target.surface, source.texture, tessaly::imageCorners(0, 0, 4, 4));
  Log expected = {"SetRenderTarget(0, tex2.level0)"};
  expected.insert(expected.end(), kRestore.begin(), kRestore.end());
  EXPECT_EQ(swd3d::takeCallLog(), expected);
}

}  // namespace
