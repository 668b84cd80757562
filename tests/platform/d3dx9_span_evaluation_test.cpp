// The evaluator's span mechanics: a row shades to the same bits however it
// is cut into spans (whole 64-pixel spans take a path of their own), and a
// tex2D at the interpolated coordinates reads them from the rasteriser's
// plane or from its arrays alike.
#include "d3dx9/compiler/effect_compiler.h"
#include "d3dx9/shader/program_evaluator.h"
#include "d3dx9_span_shading.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kRow = 64 * 3 + 21;

swd3dx::ProgramEvaluator evaluatorOf(const std::string& source) {
  swd3dx::Diagnostics diagnostics("test.fx");
  const std::optional<swd3dx::CompiledEffect> effect = swd3dx::compileEffect(source, diagnostics);
  EXPECT_TRUE(effect.has_value());
  return swd3dx::ProgramEvaluator(effect->shaders.at(0).program,
                                  std::make_shared<const swd3dx::UniformFloats>(effect->uniforms));
}

std::string effectRunning(const std::string& body) {
  return "float amount = 0.75;\nsampler2D image;\n"
         "float4 run(float2 uv : TEXCOORD0, float4 colour : COLOR0) : COLOR0 {\n" +
         body + "\n}\ntechnique T { pass { PixelShader = compile ps_2_0 run(); } }\n";
}

struct Row {
  float u[kRow], v[kRow];
  swd3d::ShaderColours diffuse[(kRow + 63) / 64];
  Row() {
    for (int i = 0; i < kRow; ++i) {
      u[i] = static_cast<float>(0.01 + 0.37 * i);
      v[i] = static_cast<float>(1.5 - 0.011 * i);
      swd3d::ShaderColours& d = diffuse[i / 64];
      d.r[i % 64] = float(i % 7) / 6;
      d.g[i % 64] = float(i % 3) / 2;
      d.b[i % 64] = 0.25f;
      d.a[i % 64] = i % 2 ? 1.0f : 0.5f;
    }
  }
};

// The row shaded in spans of `length` (the last one shorter), each channel's
// bits in order.
std::vector<std::uint32_t> shadeRow(const swd3dx::ProgramEvaluator& program, const Row& row,
                                    int length) {
  static const FakeTextures kTextures;
  std::vector<std::uint32_t> bits;
  for (int first = 0; first < kRow; first += length) {
    const int count = std::min(length, kRow - first);
    swd3d::ShaderColours diffuse;
    for (int i = 0; i < count; ++i) {
      const swd3d::ShaderColours& d = row.diffuse[(first + i) / 64];
      const int k = (first + i) % 64;
      diffuse.r[i] = d.r[k];
      diffuse.g[i] = d.g[k];
      diffuse.b[i] = d.b[k];
      diffuse.a[i] = d.a[k];
    }
    const swd3d::ShaderSpanInputs in{count, row.u + first, row.v + first, &diffuse};
    swd3d::ShaderColours out{};
    program.shadeSpan(in, kTextures, out);
    for (int i = 0; i < count; ++i) {
      for (const float value : {out.r[i], out.g[i], out.b[i], out.a[i]}) {
        std::uint32_t word;
        std::memcpy(&word, &value, 4);
        bits.push_back(word);
      }
    }
  }
  return bits;
}

TEST(SpanEvaluationTest, ARowShadesToTheSameBitsHoweverItIsCutIntoSpans) {
  const char* bodies[] = {
      // Every vector operation, NaN and infinities included (0 / 0, 1 / 0).
      "float4 c = tex2D(image, uv) * colour + amount;"
      "float4 d = float4(c.r - uv.y, c.g / (uv.x - 0.01), min(c.b, uv.x), max(c.a, -uv.y));"
      "return saturate(d) * 0.5 + (uv.x > 20 ? d : -d);",
      // The lane-by-lane operations.
      "float4 c = colour * uv.x;"
      "return float4(sqrt(c.r) + sin(c.g), cos(c.b) * pow(abs(c.a), 1.5),"
      "              frac(c.r) + floor(c.g), smoothstep(0, 9, c.b) + (c.a == c.r) + (c.g <= 1));",
  };
  const Row row;
  for (const char* body : bodies) {
    const swd3dx::ProgramEvaluator program = evaluatorOf(effectRunning(body));
    const std::vector<std::uint32_t> whole = shadeRow(program, row, 64);
    for (const int length : {1, 5, 16, 17, 45, 63}) {
      EXPECT_EQ(shadeRow(program, row, length), whole) << body << "\nspans of " << length;
    }
  }
}

TEST(SpanEvaluationTest, LookupsAtTheInterpolatedCoordinatesReadThePlaneOrTheArraysAlike) {
  static const FakeTextures kTextures;
  struct Case {
    const char* body;
    bool readsArrays;
    bool readsDiffuse;
  };
  const Case cases[] = {
      {"return tex2D(image, uv) * amount;", false, false},
      {"float4 c = tex2D(image, uv); return float4(c.rgb, uv.x);", true, false},
      {"return tex2D(image, uv.yx);", true, false},
      {"return tex2D(image, uv) * colour;", false, true},
  };
  for (const Case& c : cases) {
    const swd3dx::ProgramEvaluator program = evaluatorOf(effectRunning(c.body));
    EXPECT_EQ(program.readsTexCoordArrays(), c.readsArrays) << c.body;
    EXPECT_EQ(program.readsDiffuse(), c.readsDiffuse) << c.body;
    for (const int count : {64, 37}) {
      const swd3d::SpanTexCoords plane{0.3, 1.0 / 7, -0.2, 0.01};
      float u[64], v[64];
      for (int i = 0; i < count; ++i) {
        u[i] = static_cast<float>(plane.uStart + plane.uStep * i);
        v[i] = static_cast<float>(plane.vStart + plane.vStep * i);
      }
      swd3d::ShaderColours diffuse{};
      std::fill_n(diffuse.g, count, 0.5f);
      swd3d::ShaderColours fromArrays{}, fromPlane{};
      program.shadeSpan({count, u, v, &diffuse}, kTextures, fromArrays);
      // The rasteriser leaves out the arrays a program does not read.
      program.shadeSpan({count, c.readsArrays ? u : nullptr, c.readsArrays ? v : nullptr, &diffuse,
                         &plane},
                        kTextures, fromPlane);
      for (int i = 0; i < count; ++i) {
        ASSERT_EQ(fromPlane.r[i], fromArrays.r[i]) << c.body << " pixel " << i;
        ASSERT_EQ(fromPlane.g[i], fromArrays.g[i]) << c.body << " pixel " << i;
        ASSERT_EQ(fromPlane.b[i], fromArrays.b[i]) << c.body << " pixel " << i;
        ASSERT_EQ(fromPlane.a[i], fromArrays.a[i]) << c.body << " pixel " << i;
      }
    }
  }
}

}  // namespace
