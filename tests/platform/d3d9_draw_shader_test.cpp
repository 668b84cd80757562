// A bound pixel-shader program shades in place of texture stage 0: it gets
// the interpolated texture coordinates and diffuse colour of each span,
// samples any stage's texture with that stage's sampler states, and its
// result is saturated and blended as usual. A shader that is not a program
// makes the draw fail.
#include "d3d9_draw_fixture.h"

#include "d3d9/pixel_shader_program.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace {

using DrawShaderTest = DrawTest;

// red = u, green = v, blue = stage 1's texel blue + diffuse blue, alpha 2
// (saturated to 1). Counts its spans.
class TestProgram final : public swd3d::PixelShaderProgram {
 public:
  void shadeSpan(const swd3d::ShaderSpanInputs& in, const swd3d::ShaderTextureAccess& textures,
                 swd3d::ShaderColours& out) const override {
    spans++;
    maxCount = std::max(maxCount, in.count);
    swd3d::ShaderColours sampled;
    textures.sample(1, in.count, in.u, in.v, sampled);
    for (int i = 0; i < in.count; ++i) {
      out.r[i] = in.u[i];
      out.g[i] = in.v[i];
      out.b[i] = sampled.b[i] + in.diffuse->b[i];
      out.a[i] = 2.0f;
    }
  }
  mutable int spans = 0;
  mutable int maxCount = 0;
};

TEST_F(DrawShaderTest, ProgramShadesSpansWithInterpolatedInputsAndStageTextures) {
  // Stage 1's 2 × 1 texture, clamped and point sampled: blue 0x40, then 0x80.
  Held<IDirect3DTexture9> texture(textureOf(2, 1, {0xFF000040, 0xFF000080}));
  Held<IDirect3DSurface9> target(targetOf(100, 2, 0));
  ASSERT_EQ(device->SetTexture(1, texture.get()), D3D_OK);
  ASSERT_EQ(device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3D_OK);
  auto program = std::make_shared<TestProgram>();
  IDirect3DPixelShader9* shader = nullptr;
  ASSERT_EQ(swd3d::makeProgramPixelShader(program, &shader), S_OK);
  Held<IDirect3DPixelShader9> held(shader);
  ASSERT_EQ(device->SetPixelShader(shader), D3D_OK);
  // Stage 0 has no texture: the program replaces the stage, so that is fine.
  ASSERT_EQ(drawQuad(0, 0, 100, 2, 0, 0, 1, 1, 0xFF000010), D3D_OK);

  const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 100; ++x) {
      const auto red = std::uint32_t(std::lround(255 * (x + 0.5) / 100));
      const auto green = std::uint32_t(std::lround(255 * (y + 0.5) / 2));
      const std::uint32_t blue = (x < 50 ? 0x40u : 0x80u) + 0x10u;
      EXPECT_EQ(hexWord(pixels[std::size_t(y) * 100 + x]),
                hexWord(0xFF000000u | red << 16 | green << 8 | blue))
          << x << "," << y;
    }
  }
  // Two rows of 100 pixels, each row two runs (one per triangle: u steps
  // by a hundredth, so they are not joined), each cut into spans.
  EXPECT_LE(program->maxCount, swd3d::kShaderSpanPixels);
  EXPECT_GE(program->spans, 4);
  ASSERT_EQ(device->SetTexture(1, nullptr), D3D_OK);
}

TEST_F(DrawShaderTest, StageWithoutTextureReadsOpaqueBlack) {
  Held<IDirect3DSurface9> target(targetOf(4, 1, 0xFFFFFFFF));
  auto program = std::make_shared<TestProgram>();
  IDirect3DPixelShader9* shader = nullptr;
  ASSERT_EQ(swd3d::makeProgramPixelShader(program, &shader), S_OK);
  Held<IDirect3DPixelShader9> held(shader);
  ASSERT_EQ(device->SetPixelShader(shader), D3D_OK);
  ASSERT_EQ(drawQuad(0, 0, 4, 1, 0, 0, 0, 0, 0xFF000020), D3D_OK);
  EXPECT_EQ(renderTargetWords(target.get()), std::vector<std::uint32_t>(4, 0xFF000020u));
}

// Colour (1, 1, 1) with alpha NaN (as 0 / 0 or sqrt(-1) give), and alpha
// beyond 1 on the second half: saturation turns NaN into 0, so a
// source-alpha blend keeps the destination where alpha is NaN.
class NanAlphaProgram final : public swd3d::PixelShaderProgram {
 public:
  void shadeSpan(const swd3d::ShaderSpanInputs& in, const swd3d::ShaderTextureAccess&,
                 swd3d::ShaderColours& out) const override {
    for (int i = 0; i < in.count; ++i) {
      out.r[i] = out.g[i] = out.b[i] = 1.0f;
      out.a[i] = in.u[i] < 0.5f ? std::nanf("") : 3.0f;
    }
  }
};

TEST_F(DrawShaderTest, NaNAlphaSaturatesToZeroBeforeBlending) {
  Held<IDirect3DSurface9> target(targetOf(8, 1, 0x80204060));
  setRenderStates({{D3DRS_ALPHABLENDENABLE, TRUE},
                   {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                   {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}});
  IDirect3DPixelShader9* shader = nullptr;
  ASSERT_EQ(swd3d::makeProgramPixelShader(std::make_shared<NanAlphaProgram>(), &shader), S_OK);
  Held<IDirect3DPixelShader9> held(shader);
  ASSERT_EQ(device->SetPixelShader(shader), D3D_OK);
  ASSERT_EQ(drawQuad(0, 0, 8, 1), D3D_OK);
  const std::vector<std::uint32_t> pixels = renderTargetWords(target.get());
  for (int x = 0; x < 8; ++x) {
    // Alpha 0: the destination as it was; alpha 1: the source, alpha 1 × 1.
    EXPECT_EQ(hexWord(pixels[x]), hexWord(x < 4 ? 0x80204060u : 0xFFFFFFFFu)) << x;
  }
}

// Shows the exact bits of the interpolated coordinates (low two bytes of u,
// low byte of v) and the diffuse red. Counts its spans.
class CoordinateBitsProgram final : public swd3d::PixelShaderProgram {
 public:
  void shadeSpan(const swd3d::ShaderSpanInputs& in, const swd3d::ShaderTextureAccess&,
                 swd3d::ShaderColours& out) const override {
    spans++;
    const auto byteOf = [](float value, int shift) {
      std::uint32_t bits;
      std::memcpy(&bits, &value, 4);
      return static_cast<float>(bits >> shift & 0xFF) / 255;
    };
    for (int i = 0; i < in.count; ++i) {
      out.r[i] = byteOf(in.u[i], 0);
      out.g[i] = byteOf(in.u[i], 8);
      out.b[i] = byteOf(in.v[i], 0);
      out.a[i] = in.diffuse->r[i];
    }
  }
  mutable int spans = 0;
};

// The two halves of a quad's row are shaded as one run where that cannot
// change a bit: drawing the fan gives what its two triangles drawn one by
// one give, whether or not the runs were joined.
TEST_F(DrawShaderTest, QuadRowsShadeAsTheirTwoTrianglesDrawnApart) {
  struct Case {
    float x0, y0, x1, y1, u0, v0, u1, v1;
    D3DCOLOR corner;  // the diffuse colour of the third corner
    bool joined;      // each row shaded in one span
  };
  const Case cases[] = {
      // Texel for pixel and scaled by powers of two: every value exact.
      {0, 0, 200, 3, 0, 0, 200.0f / 256, 3.0f / 256, 0xFFFFFFFF, true},
      {10, 1, 138, 5, 0.25f, 0.5f, 0.75f, 0.5625f, 0xFFFFFFFF, true},
      {0, 0, 200, 3, 0.1f, 0.3f, 0.9f, 0.7f, 0xFFFFFFFF, false},  // thirds and tenths
      {0.25f, 0, 199.5f, 3, 0, 0, 1, 1, 0xFFFFFFFF, false},        // off the pixel grid
      {0, 0, 200, 3, 0, 0, 200.0f / 256, 3.0f / 256, 0xFF808080, false},  // diffuse varies
  };
  for (const Case& c : cases) {
    for (const bool mirrored : {false, true}) {
      const auto program = std::make_shared<CoordinateBitsProgram>();
      IDirect3DPixelShader9* shader = nullptr;
      ASSERT_EQ(swd3d::makeProgramPixelShader(program, &shader), S_OK);
      Held<IDirect3DPixelShader9> held(shader);
      ASSERT_EQ(device->SetPixelShader(shader), D3D_OK);
      std::array<TestVertex, 4> fan = {{
          {c.x0 - 0.5f, c.y0 - 0.5f, 0, 1, 0xFFFFFFFF, c.u0, c.v0},
          {c.x1 - 0.5f, c.y0 - 0.5f, 0, 1, 0xFFFFFFFF, c.u1, c.v0},
          {c.x1 - 0.5f, c.y1 - 0.5f, 0, 1, c.corner, c.u1, c.v1},
          {c.x0 - 0.5f, c.y1 - 0.5f, 0, 1, 0xFFFFFFFF, c.u0, c.v1},
      }};
      if (mirrored) std::swap(fan[1], fan[3]);
      Held<IDirect3DSurface9> together(targetOf(256, 6, 0));
      ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan.data(), sizeof(TestVertex)), D3D_OK);
      const int rows = static_cast<int>(std::lround(c.y1 - c.y0));
      EXPECT_EQ(program->spans == rows, c.joined) << c.x0 << " " << c.u0 << " " << mirrored;
      Held<IDirect3DSurface9> apart(targetOf(256, 6, 0));
      const std::array<TestVertex, 3> first = {fan[0], fan[1], fan[2]};
      const std::array<TestVertex, 3> second = {fan[0], fan[2], fan[3]};
      for (const auto* triangle : {&first, &second}) {
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle->data(), sizeof(TestVertex)),
                  D3D_OK);
      }
      EXPECT_EQ(renderTargetWords(together.get()), renderTargetWords(apart.get()))
          << c.x0 << " " << c.u0 << " " << mirrored;
    }
  }
}

// A pixel shader object that carries no program.
class ForeignShader final : public IDirect3DPixelShader9 {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  ULONG references = 1;
};

TEST_F(DrawShaderTest, ShaderWithoutProgramFailsTheDraw) {
  Held<IDirect3DTexture9> texture(textureOf(1, 1, {0xFFFFFFFF}));
  Held<IDirect3DSurface9> target(targetOf(2, 2, 0));
  ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
  ForeignShader foreign;
  ASSERT_EQ(device->SetPixelShader(&foreign), D3D_OK);
  swd3d::setCallLog(true);
  EXPECT_EQ(drawQuad(0, 0, 2, 2), D3DERR_INVALIDCALL);
  const std::vector<std::string> log = swd3d::takeCallLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "DrawPrimitiveUP refused: the pixel shader is not a compiled program");
  EXPECT_EQ(renderTargetWords(target.get()), std::vector<std::uint32_t>(4, 0u));
  ASSERT_EQ(device->SetPixelShader(nullptr), D3D_OK);
  EXPECT_EQ(foreign.references, 1u);
  EXPECT_EQ(drawQuad(0, 0, 2, 2), D3D_OK);
  EXPECT_EQ(renderTargetWords(target.get()), std::vector<std::uint32_t>(4, 0xFFFFFFFFu));
}

}  // namespace
