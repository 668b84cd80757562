// Where a draw lands: texel for pixel at the same size, whole-number
// stretches, half-pixel offsets, subpixel snapping, the top-left rule on
// shared edges, culling, the primitive types, and clipping to the target and
// the viewport, also for corners far outside or not numbers at all.
#include "d3d9_draw_fixture.h"

#include <limits>

namespace {

using DrawPlacementTest = DrawTest;

constexpr std::uint32_t kBackground = 0x12345678;

TEST_F(DrawPlacementTest, SameSizeQuadLandsTexelForPixelInEitherWinding) {
  const std::vector<std::uint32_t> texels = patternTexels(64, 64);
  Held<IDirect3DTexture9> texture(textureOf(64, 64, texels));
  Held<IDirect3DSurface9> target(targetOf(96, 96, kBackground));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  for (const bool mirrored : {false, true}) {
    SCOPED_TRACE(mirrored ? "mirrored winding" : "clockwise winding");
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 0, 0), D3D_OK);
    ASSERT_EQ(drawQuad(10, 20, 74, 84, 0, 0, 1, 1, 0xFFFFFFFF, mirrored), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    int wrong = 0;
    for (int y = 0; y < 96; ++y) {
      for (int x = 0; x < 96; ++x) {
        const bool inside = x >= 10 && x < 74 && y >= 20 && y < 84;
        const std::uint32_t expected =
            inside ? texels[std::size_t(y - 20) * 64 + std::size_t(x - 10)] : kBackground;
        if (pixels[std::size_t(y) * 96 + x] != expected && ++wrong <= 5) {
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << hexWord(pixels[y * 96 + x])
                        << " instead of " << hexWord(expected);
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(DrawPlacementTest, WholeNumberStretchesRepeatEachTexel) {
  const std::vector<std::uint32_t> texels = patternTexels(8, 8, 7);
  Held<IDirect3DTexture9> texture(textureOf(8, 8, texels));
  Held<IDirect3DSurface9> target(targetOf(40, 40, kBackground));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  for (const int scale : {1, 2, 3, 4}) {
    SCOPED_TRACE("scale " + std::to_string(scale));
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 0, 0), D3D_OK);
    const int side = 8 * scale;
    ASSERT_EQ(drawQuad(3, 5, float(3 + side), float(5 + side)), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool inside = x >= 3 && x < 3 + side && y >= 5 && y < 5 + side;
        const std::uint32_t expected =
            inside ? texels[std::size_t((y - 5) / scale) * 8 + std::size_t((x - 3) / scale)]
                   : kBackground;
        ASSERT_EQ(pixels[std::size_t(y) * 40 + x], expected) << x << "," << y;
      }
    }
  }
}

TEST_F(DrawPlacementTest, OffsetQuadsPickTheTexelUnderEachPixelCentre) {
  // Texel floor(u × size) at the pixel centre; a centre on the left or top
  // edge is drawn, one on the right or bottom edge is not.
  const std::vector<std::uint32_t> texels = patternTexels(8, 8, 3);
  Held<IDirect3DTexture9> texture(textureOf(8, 8, texels));
  Held<IDirect3DSurface9> target(targetOf(24, 24, kBackground));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  for (const float offset : {0.25f, 0.5f, 0.75f, -0.25f, -0.5f, -0.75f}) {
    SCOPED_TRACE("offset " + std::to_string(offset));
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 0, 0), D3D_OK);
    ASSERT_EQ(drawQuad(8 + offset, 8 + offset, 16 + offset, 16 + offset), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    const double edge = 8 + offset - 0.5;  // the quad's left and top edges
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) {
        const double s = x - edge;
        const double t = y - edge;
        const bool inside = s >= 0 && s < 8 && t >= 0 && t < 8;
        const std::uint32_t expected =
            inside ? texels[std::size_t(std::floor(t)) * 8 + std::size_t(std::floor(s))]
                   : kBackground;
        ASSERT_EQ(pixels[std::size_t(y) * 24 + x], expected) << x << "," << y;
      }
    }
  }
}

// A one-colour quad: stage 0 passes the diffuse colour.
class SolidDrawTest : public DrawTest {
 protected:
  struct Point {
    float x, y;
  };

  void SetUp() override {
    DrawTest::SetUp();
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1), D3D_OK);
  }

  HRESULT drawTriangles(D3DPRIMITIVETYPE type, UINT count, const std::vector<Point>& points,
                        D3DCOLOR colour) {
    std::vector<TestVertex> vertices;
    for (const Point& p : points) vertices.push_back({p.x, p.y, 0, 1, colour, 0, 0});
    return device->DrawPrimitiveUP(type, count, vertices.data(), sizeof(TestVertex));
  }

};

TEST_F(SolidDrawTest, SubpixelEdgesSnapToOne256thOfAPixel) {
  // An edge 7/4096 past a pixel centre snaps onto it; 8/4096 past, it snaps
  // beyond it. The left edge keeps a centre it lies on, the right edge does not.
  struct Case {
    float left, right;  // edges of a quad in pixel-centre coordinates
    int first, last;    // the columns drawn
  };
  const Case cases[] = {
      {4 + 7.0f / 4096, 9 + 7.0f / 4096, 4, 8},
      {4 + 8.0f / 4096, 9 + 8.0f / 4096, 5, 9},
      {4 - 7.0f / 4096, 9 - 7.0f / 4096, 4, 8},
      {4 - 8.0f / 4096, 9 - 8.0f / 4096, 4, 8},
      {4 - 1.0f / 4096, 9 - 0.9f / 256, 4, 8},
      {4.5f, 9.5f, 5, 9},
  };
  Held<IDirect3DSurface9> target(targetOf(16, 4, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE("left " + std::to_string(c.left) + ", right " + std::to_string(c.right));
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
    ASSERT_EQ(drawTriangles(D3DPT_TRIANGLEFAN, 2,
                            {{c.left, 0.5f}, {c.right, 0.5f}, {c.right, 2.5f}, {c.left, 2.5f}},
                            0xFFFFFFFF),
              D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(pixels[std::size_t(16 + x)], x >= c.first && x <= c.last ? 0xFFFFFFFF : 0u)
          << "column " << x;
    }
  }
}

TEST_F(SolidDrawTest, TrianglesSharingEdgesDrawEachPixelOnce) {
  // Fans and lists that tile the square [2, 18) × [3, 19) with corners on
  // pixel centres and edges of many slopes through them. Added with ONE, ONE,
  // each pixel of the square must get exactly one colour step.
  setRenderStates({{D3DRS_ALPHABLENDENABLE, TRUE},
                   {D3DRS_SRCBLEND, D3DBLEND_ONE},
                   {D3DRS_DESTBLEND, D3DBLEND_ONE}});
  const std::vector<Point> ring = {{2, 3},   {7, 3},   {18, 3},  {18, 8},  {18, 19}, {13, 19},
                                   {5, 19},  {2, 19},  {2, 11},  {2, 3}};
  struct Case {
    const char* name;
    Point centre;
  };
  const Case cases[] = {{"centre on a pixel", {10, 11}},
                        {"centre off the grid", {9.3f, 12.7f}},
                        {"centre on a corner", {2, 3}}};
  Held<IDirect3DSurface9> target(targetOf(24, 24, 0));
  for (const Case& c : cases) {
    for (const bool reversed : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (reversed ? ", reversed" : ""));
      ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
      std::vector<Point> fan = {c.centre};
      for (const Point& p : ring) fan.push_back(p);
      if (reversed) std::reverse(fan.begin() + 1, fan.end());
      ASSERT_EQ(drawTriangles(D3DPT_TRIANGLEFAN, UINT(fan.size() - 2), fan, 0x01010101),
                D3D_OK);
      const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
      for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
          const bool inside = x >= 2 && x < 18 && y >= 3 && y < 19;
          ASSERT_EQ(pixels[std::size_t(y) * 24 + x], inside ? 0x01010101u : 0u)
              << x << "," << y;
        }
      }
    }
  }
}

TEST_F(SolidDrawTest, CullModesAndPrimitiveTypes) {
  struct Case {
    const char* name;
    D3DPRIMITIVETYPE type;
    UINT count;
    std::vector<Point> points;  // a 4 × 4 square at (2, 2), clockwise unless said
    DWORD cull;
    bool drawn;
  };
  const std::vector<Point> fan = {{1.5f, 1.5f}, {5.5f, 1.5f}, {5.5f, 5.5f}, {1.5f, 5.5f}};
  const std::vector<Point> anticlockwise = {fan[0], fan[3], fan[2], fan[1]};
  const std::vector<Point> list = {fan[0], fan[1], fan[2], fan[0], fan[2], fan[3]};
  const std::vector<Point> strip = {fan[0], fan[1], fan[3], fan[2]};
  const Case cases[] = {
      {"fan, no culling", D3DPT_TRIANGLEFAN, 2, fan, D3DCULL_NONE, true},
      {"fan, clockwise culled", D3DPT_TRIANGLEFAN, 2, fan, D3DCULL_CW, false},
      {"fan, anticlockwise culled", D3DPT_TRIANGLEFAN, 2, fan, D3DCULL_CCW, true},
      {"reversed fan, clockwise culled", D3DPT_TRIANGLEFAN, 2, anticlockwise, D3DCULL_CW, true},
      {"reversed fan, anticlockwise culled", D3DPT_TRIANGLEFAN, 2, anticlockwise, D3DCULL_CCW,
       false},
      {"list", D3DPT_TRIANGLELIST, 2, list, D3DCULL_CCW, true},
      {"strip keeps its winding", D3DPT_TRIANGLESTRIP, 2, strip, D3DCULL_CCW, true},
      {"strip culled as a whole", D3DPT_TRIANGLESTRIP, 2, strip, D3DCULL_CW, false},
  };
  Held<IDirect3DSurface9> target(targetOf(8, 8, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, c.cull), D3D_OK);
    ASSERT_EQ(drawTriangles(c.type, c.count, c.points, 0xFF00FF00), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool inside = c.drawn && x >= 2 && x < 6 && y >= 2 && y < 6;
        ASSERT_EQ(pixels[std::size_t(y) * 8 + x], inside ? 0xFF00FF00u : 0u) << x << "," << y;
      }
    }
  }
}

TEST_F(SolidDrawTest, CornersOutsideOrNotNumbersDrawOnlyWhatLiesInside) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kHuge = 3.0e38f;
  struct Case {
    const char* name;
    std::vector<Point> fan;
    int left, top, right, bottom;  // the pixels drawn
  };
  const Case cases[] = {
      {"past every side", {{-50, -60}, {90, -60}, {90, 70}, {-50, 70}}, 0, 0, 20, 12},
      {"huge", {{-kHuge, -kHuge}, {kHuge, -kHuge}, {kHuge, kHuge}, {-kHuge, kHuge}}, 0, 0, 20, 12},
      {"huge band", {{-3e9f, 3.5f}, {3e9f, 3.5f}, {3e9f, 6.5f}, {-3e9f, 6.5f}}, 0, 4, 20, 7},
      {"huge and wholly outside", {{-kHuge, -9}, {kHuge, -9}, {kHuge, -1}, {-kHuge, -1}}, 0, 0, 0, 0},
      {"an infinite first corner", {{-kInf, 1.5f}, {5.5f, 1.5f}, {5.5f, 5.5f}, {1.5f, 5.5f}}, 0, 0, 0, 0},
      {"a NaN corner", {{1.5f, 1.5f}, {5.5f, 1.5f}, {5.5f, kNaN}, {1.5f, 5.5f}}, 0, 0, 0, 0},
  };
  // A lockable target, so that unlocking checks the row padding.
  IDirect3DSurface9* raw = nullptr;
  ASSERT_EQ(device->CreateRenderTarget(20, 12, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                       &raw, nullptr),
            D3D_OK);
  Held<IDirect3DSurface9> target(raw);
  ASSERT_EQ(device->SetRenderTarget(0, target.get()), D3D_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
    ASSERT_EQ(drawTriangles(D3DPT_TRIANGLEFAN, 2, c.fan, 0xFFFFFFFF), D3D_OK);
    const std::vector<std::uint32_t> pixels = words(target.get());
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
        ASSERT_EQ(pixels[std::size_t(y) * 20 + x], inside ? 0xFFFFFFFFu : 0u) << x << "," << y;
      }
    }
  }
}

TEST_F(SolidDrawTest, DrawsAndClearsStayInsideTheViewportUntilTheTargetChanges) {
  Held<IDirect3DSurface9> target(targetOf(16, 16, 0));
  const D3DVIEWPORT9 viewport{3, 4, 6, 5, 0.0f, 1.0f};
  ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
  ASSERT_EQ(drawTriangles(D3DPT_TRIANGLEFAN, 2, {{-1, -1}, {20, -1}, {20, 20}, {-1, 20}},
                          0xFF0000FF),
            D3D_OK);
  const D3DRECT rect{0, 0, 5, 16};
  ASSERT_EQ(device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFFFFF00, 0, 0), D3D_OK);
  std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool inViewport = x >= 3 && x < 9 && y >= 4 && y < 9;
      const std::uint32_t expected = !inViewport ? 0u : x < 5 ? 0xFFFFFF00u : 0xFF0000FFu;
      ASSERT_EQ(pixels[std::size_t(y) * 16 + x], expected) << x << "," << y;
    }
  }

  // A viewport must lie within the target; a new target resets it.
  const D3DVIEWPORT9 tooWide{10, 0, 7, 16, 0.0f, 1.0f};
  EXPECT_EQ(device->SetViewport(&tooWide), D3DERR_INVALIDCALL);
  const D3DVIEWPORT9 badDepth{0, 0, 4, 4, 0.5f, 0.25f};
  EXPECT_EQ(device->SetViewport(&badDepth), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetViewport(nullptr), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->SetRenderTarget(0, target.get()), D3D_OK);
  D3DVIEWPORT9 reset{};
  ASSERT_EQ(device->GetViewport(&reset), D3D_OK);
  EXPECT_EQ(reset.X, 0u);
  EXPECT_EQ(reset.Y, 0u);
  EXPECT_EQ(reset.Width, 16u);
  EXPECT_EQ(reset.Height, 16u);
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF101010, 0, 0), D3D_OK);
  pixels = renderTargetWords(target.get());
  EXPECT_EQ(pixels, std::vector<std::uint32_t>(256, 0xFF101010u));
}

}  // namespace
