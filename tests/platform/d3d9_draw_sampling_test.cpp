// Texture sampling in draws: each address mode over u, v from -1 to 2, the
// border colour, linear filtering by the 8-bit rule at known points, the
// exact same-size linear paste, and the choice between the minification and
// magnification filters.
#include "d3d9_draw_fixture.h"

#include <functional>

namespace {

using DrawSamplingTest = DrawTest;

// The texel index the address mode gives for the point-sampled coordinate
// u (in 0 to 1 units) on `size` texels, or -1 for the border.
int addressed(double u, int size, DWORD mode) {
  const int i = static_cast<int>(std::floor(u * size));
  switch (mode) {
    case D3DTADDRESS_WRAP: return ((i % size) + size) % size;
    case D3DTADDRESS_MIRROR: {
      const int m = ((i % (2 * size)) + 2 * size) % (2 * size);
      return m < size ? m : 2 * size - 1 - m;
    }
    case D3DTADDRESS_CLAMP: return std::clamp(i, 0, size - 1);
    case D3DTADDRESS_BORDER: return i >= 0 && i < size ? i : -1;
    case D3DTADDRESS_MIRRORONCE: return std::min(static_cast<int>(std::floor(std::fabs(u) * size)), size - 1);
  }
  return -2;
}

TEST_F(DrawSamplingTest, EachAddressModeOverUAndVFromMinusOneToTwo) {
  // 4 × 4 texels over 24 × 24 pixels: u × 4 steps by 1/2 per pixel and is
  // never a whole number at a pixel centre.
  const std::vector<std::uint32_t> texels = patternTexels(4, 4, 11);
  Held<IDirect3DTexture9> texture(textureOf(4, 4, texels));
  Held<IDirect3DSurface9> target(targetOf(24, 24, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  constexpr std::uint32_t kBorder = 0x80C0FFEE;
  ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_BORDERCOLOR, kBorder), D3D_OK);
  const DWORD modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP,
                         D3DTADDRESS_BORDER, D3DTADDRESS_MIRRORONCE};
  for (const DWORD modeU : modes) {
    for (const DWORD modeV : modes) {
      SCOPED_TRACE("address modes " + std::to_string(modeU) + ", " + std::to_string(modeV));
      setSamplerStates({{D3DSAMP_ADDRESSU, modeU}, {D3DSAMP_ADDRESSV, modeV}});
      ASSERT_EQ(drawQuad(0, 0, 24, 24, -1, -1, 2, 2), D3D_OK);
      const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
      for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
          const int i = addressed(-1.0 + (x + 0.5) / 8.0, 4, modeU);
          const int j = addressed(-1.0 + (y + 0.5) / 8.0, 4, modeV);
          const std::uint32_t expected = i < 0 || j < 0 ? kBorder : texels[std::size_t(j) * 4 + i];
          ASSERT_EQ(pixels[std::size_t(y) * 24 + x], expected) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(DrawSamplingTest, LinearFilteringFollowsTheEightBitRuleAtKnownPoints) {
  // A 2 × 2 texture over 8 × 8 pixels, clamped. Blue runs 0 to 255 along u,
  // green along v; red runs 0, 255 / 255, 0 (a cross). Worked by hand from
  // k = round(u × 2 × 256) - 128: weights 160, 224, 32, 96, 160, 224, 32, 96.
  const std::vector<std::uint32_t> texels = {0xFF000000, 0xFFFF00FF, 0xFFFFFF00, 0xFF00FFFF};
  Held<IDirect3DTexture9> texture(textureOf(2, 2, texels));
  Held<IDirect3DSurface9> target(targetOf(8, 8, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  sampling(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTADDRESS_CLAMP);
  ASSERT_EQ(drawQuad(0, 0, 8, 8), D3D_OK);
  const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
  const std::uint32_t ramp[8] = {0, 0, 32, 96, 159, 223, 255, 255};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint32_t pixel = pixels[std::size_t(y) * 8 + x];
      EXPECT_EQ(pixel & 0xFF, ramp[x]) << "blue at " << x << "," << y;
      EXPECT_EQ((pixel >> 8) & 0xFF, ramp[y]) << "green at " << x << "," << y;
      EXPECT_EQ(pixel >> 24, 0xFFu);
    }
  }
  // Red at (2, 3): along u 0 → 32 and 255 → 223, then along v with weight 96: 104.
  EXPECT_EQ((pixels[3 * 8 + 2] >> 16) & 0xFF, 104u);
  // Red at (4, 4): along u 0 → 159 and 255 → 96, then along v with weight
  // 160: 159 + ((-63 × 160 + 128) >> 8) = 159 - 39 = 120.
  EXPECT_EQ((pixels[4 * 8 + 4] >> 16) & 0xFF, 120u);
}

TEST_F(DrawSamplingTest, SameSizeLinearPasteIsExactInEveryAddressMode) {
  const std::vector<std::uint32_t> texels = patternTexels(13, 9, 5);
  Held<IDirect3DTexture9> texture(textureOf(13, 9, texels));
  Held<IDirect3DSurface9> target(targetOf(13, 9, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  setSamplerStates({{D3DSAMP_MINFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}});
  for (const DWORD mode : {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR,
                           D3DTADDRESS_BORDER, D3DTADDRESS_MIRRORONCE}) {
    SCOPED_TRACE("address mode " + std::to_string(mode));
    setSamplerStates({{D3DSAMP_ADDRESSU, mode}, {D3DSAMP_ADDRESSV, mode}});
    ASSERT_EQ(drawQuad(0, 0, 13, 9), D3D_OK);
    EXPECT_EQ(renderTargetWords(target.get()), texels);
  }
}

TEST_F(DrawSamplingTest, MinificationAndMagnificationFiltersApplyByScale) {
  // Point when magnifying, linear when minifying: a 2× stretch repeats
  // texels, a half-size shrink averages pairs (weight 128 between texels
  // 2k and 2k + 1).
  std::vector<std::uint32_t> texels(8 * 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) texels[std::size_t(y) * 8 + x] = 0xFF000000u | std::uint32_t(x * 30 + y * 2);
  }
  Held<IDirect3DTexture9> texture(textureOf(8, 8, texels));
  Held<IDirect3DSurface9> target(targetOf(16, 16, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  sampling(D3DTEXF_LINEAR, D3DTEXF_POINT, D3DTADDRESS_CLAMP);
  ASSERT_EQ(drawQuad(0, 0, 16, 16), D3D_OK);
  std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(pixels[std::size_t(y) * 16 + x], texels[std::size_t(y / 2) * 8 + x / 2]);
    }
  }
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
  ASSERT_EQ(drawQuad(0, 0, 4, 4), D3D_OK);
  pixels = renderTargetWords(target.get());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      // Weight 128 between texels 2x and 2x + 1 (blue 30 apart: + 15) and
      // rows 2y and 2y + 1 (blue 2 apart: + 1).
      const int blue = 60 * x + 15 + 4 * y + 1;
      EXPECT_EQ(pixels[std::size_t(y) * 16 + x], 0xFF000000u | std::uint32_t(blue)) << x << "," << y;
    }
  }
}

TEST_F(DrawSamplingTest, QuarterAndHalfTurnsArePermutations) {
  // A 6 × 4 texture turned by 90° and 180° with point sampling, corners on
  // pixel edges: every pixel centre lies mid-texel.
  const std::vector<std::uint32_t> texels = patternTexels(6, 4, 13);
  Held<IDirect3DTexture9> texture(textureOf(6, 4, texels));
  Held<IDirect3DSurface9> target(targetOf(12, 12, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  struct Corner {
    float x, y, u, v;
  };
  struct Case {
    const char* name;
    Corner fan[4];
    int width, height;  // of the drawn area at (2, 3)
    std::function<std::uint32_t(int, int)> texel;  // of the pixel (i, j) of that area
  };
  const Case cases[] = {
      {"quarter turn",
       {{6, 3, 0, 0}, {6, 9, 1, 0}, {2, 9, 1, 1}, {2, 3, 0, 1}},
       4, 6,
       [&](int i, int j) { return texels[std::size_t(3 - i) * 6 + std::size_t(j)]; }},
      {"half turn",
       {{8, 7, 0, 0}, {2, 7, 1, 0}, {2, 3, 1, 1}, {8, 3, 0, 1}},
       6, 4,
       [&](int i, int j) { return texels[std::size_t(3 - j) * 6 + std::size_t(5 - i)]; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
    TestVertex fan[4];
    for (int k = 0; k < 4; ++k) {
      fan[k] = {c.fan[k].x - 0.5f, c.fan[k].y - 0.5f, 0, 1, 0xFFFFFFFF, c.fan[k].u, c.fan[k].v};
    }
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(TestVertex)), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 12; ++x) {
        const int i = x - 2, j = y - 3;
        const bool inside = i >= 0 && i < c.width && j >= 0 && j < c.height;
        ASSERT_EQ(pixels[std::size_t(y) * 12 + x], inside ? c.texel(i, j) : 0u) << x << "," << y;
      }
    }
  }
}

// The 8-bit linear rule written out per channel, at texture coordinates
// (u, v), clamped: the definition the turned draw is held to.
std::uint32_t linearReference(const std::vector<std::uint32_t>& texels, int width, int height,
                              double u, double v) {
  const auto position = [](double coordinate, int size) {
    return static_cast<long long>(std::nearbyint(coordinate * size * 256)) - 128;
  };
  const long long ks = position(u, width), kt = position(v, height);
  const auto at = [&](long long x, long long y) {
    x = std::clamp<long long>(x, 0, width - 1);
    y = std::clamp<long long>(y, 0, height - 1);
    return texels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
  };
  const long long x0 = ks >> 8, y0 = kt >> 8;
  const int wu = int(ks & 255), wv = int(kt & 255);
  const auto lerp = [](int a, int b, int w) { return a + (((b - a) * w + 128) >> 8); };
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const auto c = [&](std::uint32_t word) { return int((word >> shift) & 0xFF); };
    const int top = lerp(c(at(x0, y0)), c(at(x0 + 1, y0)), wu);
    const int bottom = lerp(c(at(x0, y0 + 1)), c(at(x0 + 1, y0 + 1)), wu);
    out |= std::uint32_t(lerp(top, bottom, wv)) << shift;
  }
  return out;
}

TEST_F(DrawSamplingTest, TurnedQuadsSampleByTheEightBitRule) {
  const int kSize = 40;
  const std::vector<std::uint32_t> texels = patternTexels(16, 12, 21);
  Held<IDirect3DTexture9> texture(textureOf(16, 12, texels));
  Held<IDirect3DSurface9> target(targetOf(kSize, kSize, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  replaceBlend();
  sampling(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTADDRESS_CLAMP);
  for (const double degrees : {30.0, -17.0, 123.0}) {
    SCOPED_TRACE(std::to_string(degrees) + " degrees");
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0), D3D_OK);
    // A 28 × 21 quad turned about the target's centre.
    const double turn = degrees * 3.14159265358979323846 / 180;
    const double c = kSize / 2.0;
    const double half[2] = {14, 10.5};
    const double corners[4][2] = {{-half[0], -half[1]}, {half[0], -half[1]}, {half[0], half[1]}, {-half[0], half[1]}};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    TestVertex fan[4];
    double screen[4][2];
    for (int k = 0; k < 4; ++k) {
      const float x = float(c + corners[k][0] * std::cos(turn) - corners[k][1] * std::sin(turn) - 0.5);
      const float y = float(c + corners[k][0] * std::sin(turn) + corners[k][1] * std::cos(turn) - 0.5);
      fan[k] = {x, y, 0, 1, 0xFFFFFFFF, uv[k][0], uv[k][1]};
      // Positions as the device snaps them.
      screen[k][0] = std::floor(double(x) * 256 + 0.5) / 256;
      screen[k][1] = std::floor(double(y) * 256 + 0.5) / 256;
    }
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(TestVertex)), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    // u, v of each pixel centre from the first triangle's corners 0, 1, 2.
    const double ax = screen[1][0] - screen[0][0], ay = screen[1][1] - screen[0][1];
    const double bx = screen[2][0] - screen[1][0], by = screen[2][1] - screen[1][1];
    const double det = ax * by - ay * bx;
    int checked = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const double px = x - screen[0][0], py = y - screen[0][1];
        const double u = (px * by - py * bx) / det;
        const double v = (ax * py - ay * px) / det;
        const double margin = 0.08;  // keep clear of the edges
        if (u < margin || u > 1 - margin || v < margin || v > 1 - margin) continue;
        ++checked;
        ASSERT_EQ(hexWord(pixels[std::size_t(y) * kSize + x]),
                  hexWord(linearReference(texels, 16, 12, u, v)))
            << x << "," << y;
      }
    }
    EXPECT_GT(checked, 300);
  }
}

}  // namespace
