// Where the paste commands put the source: the corners they hand the device
// (turned by 90 degrees, on an image against on the screen, at the ends of
// the integer range), and the pixels the software device draws from them
// with point sampling: texel for pixel, mirrored, turned by exact quarters,
// in each blend mode, through effects; extreme arguments stay in bounds.
#include "paste_command_fixture.h"

#include "draw/quad_renderer.h"

#include <climits>
#include <cmath>
#include <functional>
#include <limits>

namespace {

using Words = std::vector<std::uint32_t>;

constexpr std::uint32_t kBackground = 0xFF5A3C1E;

class PastePixels : public PasteCommandTest {
 protected:
  // Source image 1 (numbered words) and render target 2 of the background.
  void setUpImages(UINT sourceWidth, UINT sourceHeight, UINT side) {
    source = numberedWords(sourceWidth, sourceHeight);
    sw = sourceWidth;
    sh = sourceHeight;
    targetSide = side;
    makePlain(1, sw, sh, source);
    makeTarget(2, side, side, {kBackground});
  }

  // The background with source pixel (sx, sy) at where(sx, sy), for every pixel.
  Words placed(const std::function<std::pair<UINT, UINT>(UINT, UINT)>& where) const {
    Words words(std::size_t{targetSide} * targetSide, kBackground);
    for (UINT sy = 0; sy < sh; ++sy) {
      for (UINT sx = 0; sx < sw; ++sx) {
        const auto [tx, ty] = where(sx, sy);
        words[std::size_t{ty} * targetSide + tx] = source[std::size_t{sy} * sw + sx];
      }
    }
    return words;
  }

  static const tessaly::QuadVertex& vertex(int i) { return tessaly::quadVertices[static_cast<std::size_t>(i)]; }

  Words source;
  UINT sw = 0, sh = 0, targetSide = 0;
};

// A 64 x 32 source turned by 90 degrees about (100, 100) of a render target:
// its top edge on the right, from y 67.5 down to 131.5.
TEST_F(PastePixels, AQuarterTurnOntoAnImageSpansTheWorkedVertices) {
  makePlain(1, 64, 32, {0xFF102030});
  makeRenderTarget(2, 200, 200);
  PasteImageOnImageRotated(1, 2, 100, 100, 90.0f);
  const float expected[4][2] = {{115.5f, 67.5f}, {115.5f, 131.5f}, {83.5f, 131.5f}, {83.5f, 67.5f}};
  // cos(90 degrees) in single precision is -4.4e-8, not 0: a few units in the last place.
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(vertex(i).x, expected[i][0], 2e-5) << "vertex " << i;
    EXPECT_NEAR(vertex(i).y, expected[i][1], 2e-5) << "vertex " << i;
  }
  EXPECT_EQ(vertex(0).u, 0.0f);
  EXPECT_EQ(vertex(1).u, 1.0f);
  EXPECT_EQ(vertex(2).v, 1.0f);
}

// Unturned, the screen form lies half a pixel right of and below the image form.
TEST_F(PastePixels, TheScreenFormLiesHalfAPixelFromTheImageForm) {
  ASSERT_EQ(load(effectFile(), 1), 1u);
  makePlain(1, 64, 64, {0xFF102030});
  makeRenderTarget(2, 200, 200);
  const auto spans = [](float left, float top, float right, float bottom) {
    EXPECT_EQ(vertex(0).x, left);
    EXPECT_EQ(vertex(0).y, top);
    EXPECT_EQ(vertex(2).x, right);
    EXPECT_EQ(vertex(2).y, bottom);
    EXPECT_EQ(vertex(1).x, right);
    EXPECT_EQ(vertex(3).y, bottom);
  };
  PasteImageRotated(1, 100, 100, 0.0f);
  spans(68.0f, 68.0f, 132.0f, 132.0f);
  PasteImageOnImageRotated(1, 2, 100, 100, 0.0f);
  spans(67.5f, 67.5f, 131.5f, 131.5f);
  PasteImageOnImageFX(1, 2, 7, -3, 1);
  spans(6.5f, -3.5f, 70.5f, 60.5f);
  PasteImageS(1, 30, 40, -10, 5);
  spans(29.5f, 39.5f, -10.5f, 4.5f);
}

// The far edges X + W and Y + H do not wrap: a source at the end of the
// integer range lies beyond the target and draws nothing there.
TEST_F(PastePixels, PositionsAtTheEndsOfTheRangeDoNotWrapRound) {
  setUpImages(4, 4, 8);
  replaceWithPointSampling();
  for (const auto& [x, y] : {std::pair{INT_MAX - 1, 0}, {0, INT_MAX - 2}, {INT_MAX, INT_MAX}, {INT_MIN, 0}, {0, INT_MIN}}) {
    PasteImageOnImage(1, 2, x, y);
    EXPECT_GE(vertex(1).x, vertex(0).x) << x << ", " << y;
    EXPECT_GE(vertex(2).y, vertex(1).y) << x << ", " << y;
    EXPECT_EQ(pixels(2), Words(64, kBackground)) << x << ", " << y;
  }
}

TEST_F(PastePixels, AtItsOwnSizeWithReplaceTheSourceLandsTexelForPixel) {
  setUpImages(5, 3, 9);
  replaceWithPointSampling();
  const Words expected = placed([](UINT x, UINT y) { return std::pair{x + 2, y + 3}; });
  PasteImageOnImage(1, 2, 2, 3);
  EXPECT_EQ(pixels(2), expected);
  makeTarget(2, 9, 9, {kBackground});
  PasteImageOnImageS(1, 2, 2, 3, 7, 6);
  EXPECT_EQ(pixels(2), expected);
  makeTarget(2, 9, 9, {kBackground});
  SetFilters(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE);  // at its own size linear is exact too
  PasteImageOnImageS(1, 2, 2, 3, 7, 6);
  EXPECT_EQ(pixels(2), expected);
}

TEST_F(PastePixels, OntoTheScreenAtItsOwnSizeLandsTexelForPixel) {
  setUpImages(5, 3, 9);
  replaceWithPointSampling();
  PasteImageS(1, 2, 3, 7, 6);
  const Words screen = screenPixels();
  ASSERT_EQ(screen.size(), std::size_t{640} * 480);
  for (UINT y = 0; y < 3; ++y) {
    for (UINT x = 0; x < 5; ++x) EXPECT_EQ(screen[std::size_t{y + 3} * 640 + x + 2], source[y * 5 + x]);
  }
  EXPECT_EQ(screen[std::size_t{3} * 640 + 7], 0u) << "nothing right of the rectangle";
}

TEST_F(PastePixels, ARectangleWithItsEdgesSwappedMirrorsTheSource) {
  setUpImages(5, 3, 9);
  replaceWithPointSampling();
  PasteImageOnImageS(1, 2, 7, 3, 2, 6);
  EXPECT_EQ(pixels(2), placed([](UINT x, UINT y) { return std::pair{6 - x, y + 3}; }));
  makeTarget(2, 9, 9, {kBackground});
  PasteImageOnImageS(1, 2, 2, 6, 7, 3);
  EXPECT_EQ(pixels(2), placed([](UINT x, UINT y) { return std::pair{x + 2, 5 - y}; }));
  makeTarget(2, 9, 9, {kBackground});
  PasteImageOnImageS(1, 2, 7, 6, 2, 3);
  EXPECT_EQ(pixels(2), placed([](UINT x, UINT y) { return std::pair{6 - x, 5 - y}; }));
}

TEST_F(PastePixels, StretchedByTwoEachTexelFillsTwoByTwoPixels) {
  setUpImages(3, 2, 8);
  replaceWithPointSampling();
  PasteImageOnImageS(1, 2, 1, 2, 7, 6);
  const Words got = pixels(2);
  for (UINT y = 0; y < 4; ++y) {
    for (UINT x = 0; x < 6; ++x) EXPECT_EQ(got[std::size_t{y + 2} * 8 + x + 1], source[(y / 2) * 3 + x / 2]);
  }
}

// A 6 x 4 source turned about target pixel (8, 8): with point sampling every
// quarter turn moves each texel centre onto a pixel centre.
TEST_F(PastePixels, QuarterTurnsWithPointSamplingArePermutationsOfThePixels) {
  setUpImages(6, 4, 16);
  replaceWithPointSampling();
  const struct {
    float angle;
    std::function<std::pair<UINT, UINT>(UINT, UINT)> where;
  } turns[] = {
      {0.0f, [](UINT x, UINT y) { return std::pair{5 + x, 6 + y}; }},
      {90.0f, [](UINT x, UINT y) { return std::pair{9 - y, 5 + x}; }},
      {180.0f, [](UINT x, UINT y) { return std::pair{10 - x, 9 - y}; }},
      {-90.0f, [](UINT x, UINT y) { return std::pair{6 + y, 10 - x}; }},
      {450.0f, [](UINT x, UINT y) { return std::pair{9 - y, 5 + x}; }},
  };
  for (const auto& turn : turns) {
    makeTarget(2, 16, 16, {kBackground});
    PasteImageOnImageRotated(1, 2, 8, 8, turn.angle);
    EXPECT_EQ(pixels(2), placed(turn.where)) << turn.angle << " degrees";
  }
}

// Modes with blend states on the device, each from an opaque background:
// replace, add, subtract, min and max exactly, the alpha blend and the
// multiply and screen within one step; the modes that set nothing replace.
TEST_F(PastePixels, EachBlendModeOnARenderTarget) {
  constexpr std::uint32_t kSource = 0x80C04020;
  constexpr std::uint32_t kTarget = 0xFF306090;
  makePlain(1, 2, 2, {kSource});
  const struct {
    DWORD mode;
    std::uint32_t expected;
    int tolerance;
  } cases[] = {
      {1, 0xFF785058, 1},  {2, 0xFF785058, 1},  {4, 0xFF241812, 1},  {6, 0xFFCC889E, 1},
      {15, 0xFFF0A0B0, 0}, {16, 0xFF002070, 0}, {17, 0xFF304020, 0}, {18, 0xFFC06090, 0},
      {19, kSource, 0},    {20, kSource, 0},    {3, kSource, 0},     {12, kSource, 0},
      {0, kSource, 0},     {21, kSource, 0},
  };
  for (const auto& c : cases) {
    makeTarget(2, 2, 2, {kTarget});
    SetBlendMode(c.mode);
    PasteImageOnImageRotated(1, 2, 1, 1, 0.0f);
    const std::uint32_t got = pixels(2)[0];
    for (int shift = 0; shift < 32; shift += 8) {
      const int want = static_cast<int>(c.expected >> shift & 0xFF);
      const int have = static_cast<int>(got >> shift & 0xFF);
      EXPECT_LE(std::abs(want - have), c.tolerance) << "mode " << c.mode << ", byte " << shift / 8 << ": " << std::hex << got;
    }
  }
}

TEST_F(PastePixels, OntoAPlainImageThePasteIsInMemoryWithTheModesFormula) {
  makePlain(1, 2, 1, {0xFF000000, 0x80FFFFFF});
  makePlain(3, 3, 1, {0x11223344});
  SetBlendMode(3);
  PasteImageOnImage(1, 3, 1, 0);
  EXPECT_EQ(pixels(3), (Words{0x11223344, 0xFF000000, 0x80FFFFFF}));
  SetBlendMode(14);  // difference: a formula only the in-memory paste has
  PasteImageOnImage(1, 3, 1, 0);
  EXPECT_EQ(pixels(3)[1], 0xFF000000u);
}

// An effect with two passes that each add a quarter of the source: both
// quads are drawn, onto an image and onto the screen. Each pass enables its
// blending itself, as the quad renderer turns blending off after every quad.
TEST_F(PastePixels, EveryPassOfAnEffectDrawsTheQuad) {
  ASSERT_EQ(load(effectFile(R"(
sampler2D image;
float4 quarter(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(image, uv) * 0.25; }
technique Twice {
  pass { AlphaBlendEnable = TRUE; SrcBlend = One; DestBlend = One; PixelShader = compile ps_2_0 quarter(); }
  pass { AlphaBlendEnable = TRUE; SrcBlend = One; DestBlend = One; PixelShader = compile ps_2_0 quarter(); }
}
)"),
                 3),
            1u);
  makePlain(1, 4, 4, {0xFF808080});
  makeTarget(2, 4, 4, {0xFF000000});
  SetBlendMode(20);  // alpha is blended like colour
  PasteImageOnImageFX(1, 2, 0, 0, 3);
  EXPECT_EQ(pixels(2), Words(16, 0xFF404040));
  PasteImageFX(1, 10, 20, 3);
  EXPECT_EQ(screenPixels()[std::size_t{20} * 640 + 10], 0x80404040u) << "added onto the clear screen";
}

// The example effects' shader reaches the pasted image through sampler 0.
TEST_F(PastePixels, AnEffectsShaderSeesTheSource) {
  ASSERT_EQ(load(effectFile(R"(
sampler2D image;
float4 invert(float2 uv : TEXCOORD0) : COLOR0 { float4 c = tex2D(image, uv); return float4(1 - c.rgb, c.a); }
technique Invert { pass { PixelShader = compile ps_2_0 invert(); } }
)"),
                 4),
            1u);
  setUpImages(4, 2, 8);
  replaceWithPointSampling();
  const Words inverted = placed([](UINT x, UINT y) { return std::pair{4 - y, 2 + x}; });
  PasteImageOnImageRotatedFX(1, 2, 4, 4, 90.0f, 4);
  const Words got = pixels(2);
  for (std::size_t i = 0; i < got.size(); ++i) {
    const std::uint32_t want = inverted[i] == kBackground ? kBackground : (inverted[i] ^ 0x00FFFFFFu);
    EXPECT_EQ(got[i], want) << "pixel " << i;
  }
  PasteImageSFX(1, 0, 0, 4, 2, 4);
  EXPECT_EQ(screenPixels()[0], source[0] ^ 0x00FFFFFFu);
}

// Corners at the ends of the integer range and angles that are not numbers:
// a quad clipped to the target or nothing, never a write outside a surface
// (the fixture checks every row's padding and the sanitizers the rest).
TEST_F(PastePixels, ExtremeArgumentsDrawAClippedQuadOrNothing) {
  ASSERT_EQ(load(effectFile(), 1), 1u);
  setUpImages(4, 4, 8);
  replaceWithPointSampling();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float angle : {nan, inf, -inf}) {
    PasteImageOnImageRotated(1, 2, 4, 4, angle);
    PasteImageOnImageRotatedFX(1, 2, 4, 4, angle, 1);
    PasteImageRotated(1, 4, 4, angle);
    PasteImageRotatedFX(1, 4, 4, angle, 1);
    EXPECT_EQ(pixels(2), Words(64, kBackground)) << angle;
  }
  for (int x : {INT_MIN, INT_MAX}) {
    for (int y : {INT_MIN, INT_MAX}) {
      for (float angle : {0.0f, 45.0f, 3.4e38f}) {
        PasteImageOnImageRotated(1, 2, x, y, angle);
        PasteImageRotated(1, x, y, angle);
      }
      PasteImageOnImage(1, 2, x, y);
      PasteImageOnImageFX(1, 2, x, y, 1);
      PasteImageFX(1, x, y, 1);
    }
  }
  EXPECT_EQ(pixels(2), Words(64, kBackground));
  EXPECT_EQ(screenPixels(), Words(std::size_t{640} * 480, 0));

  // The whole range as a rectangle covers every pixel with the source's middle.
  PasteImageOnImageS(1, 2, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  PasteImageSFX(1, INT_MAX, INT_MAX, INT_MIN, INT_MIN, 1);
  const Words got = pixels(2);
  for (std::uint32_t word : got) EXPECT_EQ(word, got[0]);
  EXPECT_NE(got[0], kBackground);
}

}  // namespace
