// The blend equation and texture stage 0 in draws: every factor and operation
// against its formula, separate alpha, the channel write mask, and the stage
// operations on texture and diffuse colour.
#include "d3d9_draw_fixture.h"

namespace {

using DrawBlendTest = DrawTest;

struct Channels {
  double c[4];  // b, g, r, a in 0 to 1
};

Channels channelsOf(std::uint32_t word) {
  Channels out{};
  for (int i = 0; i < 4; ++i) out.c[i] = ((word >> (8 * i)) & 0xFF) / 255.0;
  return out;
}

double factorOf(DWORD factor, const Channels& s, const Channels& d, const Channels& k, int i) {
  switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 1;
    case D3DBLEND_SRCCOLOR: return s.c[i];
    case D3DBLEND_INVSRCCOLOR: return 1 - s.c[i];
    case D3DBLEND_SRCALPHA: return s.c[3];
    case D3DBLEND_INVSRCALPHA: return 1 - s.c[3];
    case D3DBLEND_DESTALPHA: return d.c[3];
    case D3DBLEND_INVDESTALPHA: return 1 - d.c[3];
    case D3DBLEND_DESTCOLOR: return d.c[i];
    case D3DBLEND_INVDESTCOLOR: return 1 - d.c[i];
    case D3DBLEND_SRCALPHASAT: return i == 3 ? 1 : std::min(s.c[3], 1 - d.c[3]);
    case D3DBLEND_BLENDFACTOR: return k.c[i];
    case D3DBLEND_INVBLENDFACTOR: return 1 - k.c[i];
  }
  ADD_FAILURE() << "no formula for factor " << factor;
  return 0;
}

// The documented result: the equation in exact arithmetic, saturated and
// rounded to the nearest byte.
std::uint32_t blended(std::uint32_t source, std::uint32_t dest, std::uint32_t constant,
                      DWORD srcColour, DWORD destColour, DWORD op, DWORD srcAlpha,
                      DWORD destAlpha, DWORD alphaOp) {
  const Channels s = channelsOf(source), d = channelsOf(dest), k = channelsOf(constant);
  std::uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const DWORD fs = i == 3 ? srcAlpha : srcColour;
    const DWORD fd = i == 3 ? destAlpha : destColour;
    const DWORD o = i == 3 ? alphaOp : op;
    const double a = s.c[i] * factorOf(fs, s, d, k, i);
    const double b = d.c[i] * factorOf(fd, s, d, k, i);
    double value = 0;
    switch (o) {
      case D3DBLENDOP_ADD: value = a + b; break;
      case D3DBLENDOP_SUBTRACT: value = a - b; break;
      case D3DBLENDOP_REVSUBTRACT: value = b - a; break;
      case D3DBLENDOP_MIN: value = std::min(s.c[i], d.c[i]); break;
      case D3DBLENDOP_MAX: value = std::max(s.c[i], d.c[i]); break;
    }
    out |= std::uint32_t(std::lround(std::clamp(value, 0.0, 1.0) * 255)) << (8 * i);
  }
  return out;
}

TEST_F(DrawBlendTest, EveryFactorAndOperationFollowsItsFormula) {
  // Each source texel is blended onto its own destination pixel: a row of
  // pairs chosen to cover low, high, equal and crossing values.
  const std::vector<std::uint32_t> sources = {0x00000000, 0xFFFFFFFF, 0x80402010, 0x7FC0E0F0,
                                              0x01FE8040, 0xC0123456, 0x40FFFF00, 0xFF7F8081};
  const std::vector<std::uint32_t> dests = {0xFFFFFFFF, 0x00000000, 0x80402010, 0x3F102030,
                                            0xFE01C0A0, 0x89ABCDEF, 0x10FF00FF, 0x80808080};
  const UINT n = UINT(sources.size());
  Held<IDirect3DTexture9> texture(textureOf(n, 1, sources));
  Held<IDirect3DTexture9> destination(textureOf(n, 1, dests));
  Held<IDirect3DSurface9> target(targetOf(n, 1, 0));
  ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0), D3D_OK);
  constexpr std::uint32_t kConstant = 0x6633CCF0;
  ASSERT_EQ(device->SetRenderState(D3DRS_BLENDFACTOR, kConstant), D3D_OK);

  const DWORD factors[] = {D3DBLEND_ZERO,         D3DBLEND_ONE,          D3DBLEND_SRCCOLOR,
                           D3DBLEND_INVSRCCOLOR,  D3DBLEND_SRCALPHA,     D3DBLEND_INVSRCALPHA,
                           D3DBLEND_DESTALPHA,    D3DBLEND_INVDESTALPHA, D3DBLEND_DESTCOLOR,
                           D3DBLEND_INVDESTCOLOR, D3DBLEND_SRCALPHASAT,  D3DBLEND_BLENDFACTOR,
                           D3DBLEND_INVBLENDFACTOR};
  const DWORD ops[] = {D3DBLENDOP_ADD, D3DBLENDOP_SUBTRACT, D3DBLENDOP_REVSUBTRACT,
                       D3DBLENDOP_MIN, D3DBLENDOP_MAX};
  struct Case {
    DWORD srcColour, destColour, op, srcAlpha, destAlpha, alphaOp;
    bool separate;
  };
  std::vector<Case> cases;
  for (const DWORD fs : factors) {
    for (const DWORD fd : factors) cases.push_back({fs, fd, D3DBLENDOP_ADD, fs, fd, D3DBLENDOP_ADD, false});
  }
  for (const DWORD op : ops) {
    cases.push_back({D3DBLEND_SRCALPHA, D3DBLEND_DESTCOLOR, op, D3DBLEND_SRCALPHA, D3DBLEND_DESTCOLOR, op, false});
    cases.push_back({D3DBLEND_ONE, D3DBLEND_ONE, op, D3DBLEND_ONE, D3DBLEND_ONE, op, false});
    // Separate alpha: its own factors and operation.
    cases.push_back({D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, D3DBLEND_ONE,
                     D3DBLEND_INVSRCCOLOR, op, true});
  }
  // The plug-in's alpha, multiply and screen groups.
  cases.push_back({D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_ADD, true});
  cases.push_back({D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, true});
  cases.push_back({D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE, D3DBLENDOP_ADD, D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, true});

  for (const Case& c : cases) {
    SCOPED_TRACE("factors " + std::to_string(c.srcColour) + ", " + std::to_string(c.destColour) +
                 " op " + std::to_string(c.op) + (c.separate ? " alpha factors " + std::to_string(c.srcAlpha) + ", " +
                 std::to_string(c.destAlpha) + " op " + std::to_string(c.alphaOp) : ""));
    // Lay the destination down with a replace, then blend the source on it.
    ASSERT_EQ(device->SetTexture(0, destination.get()), D3D_OK);
    replaceBlend();
    ASSERT_EQ(device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD), D3D_OK);
    ASSERT_EQ(drawQuad(0, 0, float(n), 1), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
    setRenderStates({{D3DRS_SRCBLEND, c.srcColour},
                     {D3DRS_DESTBLEND, c.destColour},
                     {D3DRS_BLENDOP, c.op},
                     {D3DRS_SEPARATEALPHABLENDENABLE, c.separate ? TRUE : FALSE},
                     {D3DRS_SRCBLENDALPHA, c.srcAlpha},
                     {D3DRS_DESTBLENDALPHA, c.destAlpha},
                     {D3DRS_BLENDOPALPHA, c.alphaOp}});
    ASSERT_EQ(drawQuad(0, 0, float(n), 1), D3D_OK);
    const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
    for (UINT i = 0; i < n; ++i) {
      EXPECT_EQ(hexWord(pixels[i]),
                hexWord(blended(sources[i], dests[i], kConstant, c.srcColour, c.destColour, c.op,
                                c.srcAlpha, c.destAlpha, c.alphaOp)))
          << "source " << hexWord(sources[i]) << " on " << hexWord(dests[i]);
    }
  }
}

TEST_F(DrawBlendTest, BlendingOffReplacesAndTheWriteMaskKeepsChannels) {
  const std::vector<std::uint32_t> texels = {0x11223344};
  Held<IDirect3DTexture9> texture(textureOf(1, 1, texels));
  Held<IDirect3DSurface9> target(targetOf(1, 1, 0xAABBCCDD));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  struct Case {
    DWORD channels;  // D3DCOLORWRITEENABLE bits: red 1, green 2, blue 4, alpha 8
    std::uint32_t expected;
  };
  const Case cases[] = {{0xF, 0x11223344}, {0x0, 0xAABBCCDD}, {0x1, 0xAA22CCDD},
                        {0x8, 0x11BBCCDD}, {0x6, 0xAABB3344}};
  for (const Case& c : cases) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xAABBCCDD, 0, 0), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_COLORWRITEENABLE, c.channels), D3D_OK);
    ASSERT_EQ(drawQuad(0, 0, 1, 1), D3D_OK);
    EXPECT_EQ(hexWord(renderTargetWords(target.get())[0]), hexWord(c.expected))
        << "write mask " << c.channels;
  }
}

TEST_F(DrawBlendTest, StageZeroOperationsOnTextureAndDiffuse) {
  constexpr std::uint32_t kTexel = 0x80FF4010;
  constexpr std::uint32_t kDiffuse = 0xC0808080;
  Held<IDirect3DTexture9> texture(textureOf(1, 1, {kTexel}));
  Held<IDirect3DSurface9> target(targetOf(1, 1, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  // round(t × d / 255) per channel: 0xFF × 0x80 → 0x80, 0x40 → 0x20, 0x10 → 0x08, 0x80 × 0xC0 → 0x60.
  constexpr std::uint32_t kModulated = 0x60802008;
  struct Case {
    const char* name;
    DWORD colourOp, colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"modulate", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
       D3DTA_DIFFUSE, kModulated},
      {"modulate by current", D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_MODULATE,
       D3DTA_TEXTURE, D3DTA_CURRENT, kModulated},
      {"select texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2,
       D3DTA_DIFFUSE, D3DTA_TEXTURE, kTexel},
      {"select diffuse", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
       D3DTA_DIFFUSE, D3DTA_TEXTURE, kDiffuse},
      {"texture colour, diffuse alpha", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE,
       D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, 0xC0FF4010},
      {"disabled: diffuse", D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTOP_SELECTARG1,
       D3DTA_TEXTURE, D3DTA_TEXTURE, kDiffuse},
  };
  replaceBlend();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> states[] = {
        {D3DTSS_COLOROP, c.colourOp},   {D3DTSS_COLORARG1, c.colourArg1},
        {D3DTSS_COLORARG2, c.colourArg2}, {D3DTSS_ALPHAOP, c.alphaOp},
        {D3DTSS_ALPHAARG1, c.alphaArg1}, {D3DTSS_ALPHAARG2, c.alphaArg2}};
    for (const auto& [state, value] : states) {
      ASSERT_EQ(device->SetTextureStageState(0, state, value), D3D_OK);
    }
    ASSERT_EQ(drawQuad(0, 0, 1, 1, 0, 0, 1, 1, kDiffuse), D3D_OK);
    EXPECT_EQ(hexWord(renderTargetWords(target.get())[0]), hexWord(c.expected));
  }
}

TEST_F(DrawBlendTest, OverlappingTrianglesBlendInTheOrderGiven) {
  // Twelve copies of one square (24 triangles, more than are drawn at once),
  // each blending its own colour over what the earlier ones left: the order
  // shows in every pixel.
  Held<IDirect3DSurface9> target(targetOf(6, 5, 0xFF204060));
  ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2), D3D_OK);
  ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2), D3D_OK);
  setRenderStates({{D3DRS_ALPHABLENDENABLE, TRUE},
                   {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                   {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}});
  std::vector<TestVertex> list;
  std::uint32_t expected = 0xFF204060;
  for (std::uint32_t k = 0; k < 12; ++k) {
    const D3DCOLOR colour = (0x30u + 16 * k) << 24 | (k * 21) << 16 | (255 - k * 19) << 8 | (k * 7);
    const TestVertex corners[4] = {{-0.5f, -0.5f, 0, 1, colour, 0, 0},
                                   {5.5f, -0.5f, 0, 1, colour, 0, 0},
                                   {5.5f, 4.5f, 0, 1, colour, 0, 0},
                                   {-0.5f, 4.5f, 0, 1, colour, 0, 0}};
    for (const int corner : {0, 1, 2, 0, 2, 3}) list.push_back(corners[corner]);
    // round((s × a + d × (255 - a)) / 255) per channel, alpha too.
    const std::uint32_t a = colour >> 24;
    std::uint32_t next = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t sc = (colour >> shift) & 0xFF, dc = (expected >> shift) & 0xFF;
      next |= std::uint32_t(std::lround((sc * a + dc * (255 - a)) / 255.0)) << shift;
    }
    expected = next;
  }
  ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 24, list.data(), sizeof(TestVertex)),
            D3D_OK);
  for (const std::uint32_t pixel : renderTargetWords(target.get())) {
    ASSERT_EQ(hexWord(pixel), hexWord(expected));
  }
}

TEST_F(DrawBlendTest, DiffuseColourIsInterpolatedAcrossTheQuad) {
  // Red 0 at the left to 255 at the right corners' positions: at pixel
  // centre x of 0 .. 7 the value is 255 × (x + 0.5) / 8, rounded.
  Held<IDirect3DSurface9> target(targetOf(8, 1, 0));
  ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2), D3D_OK);
  ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2), D3D_OK);
  const TestVertex fan[4] = {{-0.5f, -0.5f, 0, 1, 0xFF000000, 0, 0},
                             {7.5f, -0.5f, 0, 1, 0xFFFF0000, 0, 0},
                             {7.5f, 0.5f, 0, 1, 0xFFFF0000, 0, 0},
                             {-0.5f, 0.5f, 0, 1, 0xFF000000, 0, 0}};
  ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(TestVertex)), D3D_OK);
  const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
  for (int x = 0; x < 8; ++x) {
    const auto red = std::uint32_t(std::lround(255.0 * (x + 0.5) / 8));
    EXPECT_EQ(hexWord(pixels[std::size_t(x)]), hexWord(0xFF000000u | red << 16)) << x;
  }
}

}  // namespace
