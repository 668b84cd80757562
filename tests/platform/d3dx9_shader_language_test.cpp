// Each feature of the shader language, run on a span of pixels and compared
// with the same computation written plainly in C++.
#include "d3dx9_effect_fixture.h"

#include <cmath>
#include <functional>

namespace {

using Reference = std::function<Rgba(float u, float v, Rgba colour)>;

struct LanguageCase {
  const char* name;
  const char* declarations;  // at file scope, after `sampler2D image;` and `float4 tint`
  const char* body;          // of float4 run(float2 uv : TEXCOORD0, float4 colour : COLOR0)
  Reference expected;
};

void PrintTo(const LanguageCase& c, std::ostream* out) { *out << c.name; }

float truth(bool b) { return b ? 1.0f : 0.0f; }
float saturate(float x) { return std::min(std::max(x, 0.0f), 1.0f); }
float smooth(float a, float b, float x) {
  const float t = saturate((x - a) / (b - a));
  return t * t * (3 - 2 * t);
}

// The fake texture on stage s reads (u, v, s / 8, 1 - s / 8).
Rgba texel(float u, float v, float stage) { return {u, v, stage / 8, 1 - stage / 8}; }

const LanguageCase kCases[] = {
    {"InputsPassThrough", "", "return colour;", [](float, float, Rgba c) { return c; }},
    {"SwizzleReordersAndRepeats", "", "return float4(colour.bgr, uv.x).xzyw + colour.aaaa * 0;",
     [](float u, float, Rgba c) { return Rgba{c[2], c[0], c[1], u}; }},
    {"WriteMaskReplacesOnlyItsComponents", "",
     "float4 c = colour; c.rb = uv; c.a = 0.5; return c;",
     [](float u, float v, Rgba c) { return Rgba{u, c[1], v, 0.5f}; }},
    {"NestedSwizzleWriteMask", "", "float4 c = 0; c.gba.yx = uv; return c;",
     [](float u, float v, Rgba) { return Rgba{0, v, u, 0}; }},
    {"ArithmeticPrecedence", "",
     "return float4(uv.x + uv.y * 2, (uv.x - uv.y) / 2, -uv.x - -uv.y, 1 - 2 * 3 + 8 / 4);",
     [](float u, float v, Rgba) { return Rgba{u + v * 2, (u - v) / 2, -u + v, -3}; }},
    {"ScalarsSpreadOverVectors", "", "return colour * 2 + 1;",
     [](float, float, Rgba c) { return Rgba{c[0] * 2 + 1, c[1] * 2 + 1, c[2] * 2 + 1, c[3] * 2 + 1}; }},
    {"CompoundAssignments", "",
     "float4 c = colour; c *= 2; c.g += uv.x; c.b -= uv.y; c.a /= 4; return c;",
     [](float u, float v, Rgba c) { return Rgba{c[0] * 2, c[1] * 2 + u, c[2] * 2 - v, c[3] * 2 / 4}; }},
    {"Comparisons", "",
     "return float4(uv.x < uv.y, uv.x >= 0.5, uv.x == uv.y, uv.x != 0.25 && uv.y <= 0.5);",
     [](float u, float v, Rgba) {
       return Rgba{truth(u < v), truth(u >= 0.5f), truth(u == v), truth(u != 0.25f && v <= 0.5f)};
     }},
    {"LogicalOperators", "",
     "bool a = uv.x > 0.2; bool b = uv.y > 0.2; return float4(a && b, a || b, !a, !(a || b));",
     [](float u, float v, Rgba) {
       const bool a = u > 0.2f, b = v > 0.2f;
       return Rgba{truth(a && b), truth(a || b), truth(!a), truth(!(a || b))};
     }},
    {"ConditionalOperator", "",
     "return uv.x > 0.3 ? colour : float4(uv.x < 0.1 ? 1 : 0.5, 0, 0, 1);",
     [](float u, float, Rgba c) { return u > 0.3f ? c : Rgba{u < 0.1f ? 1.0f : 0.5f, 0, 0, 1}; }},
    {"ConditionalPerComponent", "", "return float4(uv > 0.5 ? uv : -uv, 0, 1);",
     [](float u, float v, Rgba) { return Rgba{u > 0.5f ? u : -u, v > 0.5f ? v : -v, 0, 1}; }},
    {"IfElseAssignsPerPixel", "",
     "float4 c = 0; if (uv.x > 0.3) c.r = 1; else { c.g = 1; c.b = uv.y; } c.a = uv.x; return c;",
     [](float u, float v, Rgba) { return u > 0.3f ? Rgba{1, 0, 0, u} : Rgba{0, 1, v, u}; }},
    {"NestedIfsKeepOuterValues", "",
     "float x = 1; if (uv.x > 0.2) { x = 2; if (uv.y > 0.2) { x = x + 10; } else x = 5; } "
     "return float4(x, 0, 0, 1);",
     [](float u, float v, Rgba) {
       float x = 1;
       if (u > 0.2f) {
         x = 2;
         if (v > 0.2f) x += 10; else x = 5;
       }
       return Rgba{x, 0, 0, 1};
     }},
    {"ReturnsInsideBranches", "",
     "if (uv.x < 0.1) return float4(1, 0, 0, 1);\n"
     "float y = uv.y;\n"
     "if (uv.x < 0.6) { if (y > 0.3) return float4(0, 1, 0, 1); y = y * 2; }\n"
     "return float4(0, 0, 1, y);",
     [](float u, float v, Rgba) {
       if (u < 0.1f) return Rgba{1, 0, 0, 1};
       float y = v;
       if (u < 0.6f) {
         if (y > 0.3f) return Rgba{0, 1, 0, 1};
         y *= 2;
       }
       return Rgba{0, 0, 1, y};
     }},
    {"ReturnOnBothBranches", "",
     "if (uv.x > 0.5) { return colour; } else { return 1 - colour; }",
     [](float u, float, Rgba c) {
       return u > 0.5f ? c : Rgba{1 - c[0], 1 - c[1], 1 - c[2], 1 - c[3]};
     }},
    {"KnownConditionsNeedNoMask", "",
     "float4 c = colour; if (true) c.r = 0; if (1 > 2) c.g = 0; else c.b = 0; return c;",
     [](float, float, Rgba c) { return Rgba{0, c[1], 0, c[3]}; }},
    {"ConstructorsAndCasts", "",
     "float3 k = (float3)0.5; return float4((float2)colour, k.x, float2(uv).y) + float4(0.25);",
     [](float, float v, Rgba c) { return Rgba{c[0] + 0.25f, c[1] + 0.25f, 0.75f, v + 0.25f}; }},
    {"BraceListsAndNestedScopes", "",
     "float3 w = {0.5, 0.25, 2}; { float3 w = 1; } return float4(w * colour.rgb, 1);",
     [](float, float, Rgba c) { return Rgba{c[0] * 0.5f, c[1] * 0.25f, c[2] * 2, 1}; }},
    {"ParametersKeepTheirInitialValues", "float gain = 3;",
     "return tint * gain;", [](float, float, Rgba) { return Rgba{1.5f, 0.75f, 3, 3}; }},
    {"StaticConstants", "static const float3 kLuma = float3(0.25, 0.5, 0.25) * 2;",
     "return float4(kLuma, dot(colour.rgb, kLuma));",
     [](float, float, Rgba c) {
       return Rgba{0.5f, 1, 0.5f, c[0] * 0.5f + c[1] + c[2] * 0.5f};
     }},
    {"Tex2DReadsTheSamplersStage", "", "return tex2D(image, uv.yx * 0.5);",
     [](float u, float v, Rgba) { return texel(v * 0.5f, u * 0.5f, 0); }},
    {"SamplersTakeStagesInDeclarationOrder",
     "sampler2D second; sampler2D fixed : register(s3);",
     "return tex2D(second, uv) + tex2D(fixed, uv) * 10 + tex2D(image, uv) * 100;",
     [](float u, float v, Rgba) {
       Rgba sum{};
       const Rgba a = texel(u, v, 1), b = texel(u, v, 3), c = texel(u, v, 0);
       for (int k = 0; k < 4; ++k) sum[k] = a[k] + b[k] * 10 + c[k] * 100;
       return sum;
     }},
    {"Lerp", "", "return lerp(colour, tint, uv.x);",
     [](float u, float, Rgba c) {
       const Rgba t{0.5f, 0.25f, 1, 1};
       Rgba out;
       for (int k = 0; k < 4; ++k) out[k] = c[k] + u * (t[k] - c[k]);
       return out;
     }},
    {"SaturateClampMinMax", "",
     "float x = uv.x * 3 - 1; return float4(saturate(x), clamp(x, -0.5, 0.5), min(x, uv.y), "
     "max(x, uv.y));",
     [](float u, float v, Rgba) {
       const float x = u * 3 - 1;
       return Rgba{saturate(x), std::min(std::max(x, -0.5f), 0.5f), std::min(x, v), std::max(x, v)};
     }},
    {"DotLengthNormalize", "",
     "float3 n = normalize(float3(uv, 1)); return float4(dot(colour.rgb, colour.gbr), "
     "length(uv), n.xz);",
     [](float u, float v, Rgba c) {
       const float len = std::sqrt(u * u + v * v + 1);
       return Rgba{c[0] * c[1] + c[1] * c[2] + c[2] * c[0], std::sqrt(u * u + v * v), u / len,
                   1 / len};
     }},
    {"PowSqrtAbs", "",
     "return float4(pow(uv.x, 2.2), sqrt(uv.y), abs(uv.x - uv.y), pow(colour.r, uv.y));",
     [](float u, float v, Rgba c) {
       return Rgba{std::pow(u, 2.2f), std::sqrt(v), std::fabs(u - v), std::pow(c[0], v)};
     }},
    {"FracFloorStep", "",
     "float x = uv.x * 3.5 - 1; return float4(frac(x), floor(x), step(0.5, uv.x), step(uv, 0.25).y);",
     [](float u, float v, Rgba) {
       const float x = u * 3.5f - 1;
       return Rgba{x - std::floor(x), std::floor(x), truth(u >= 0.5f), truth(0.25f >= v)};
     }},
    {"Smoothstep", "",
     "return float4(smoothstep(0.2, 0.8, uv.x), smoothstep(0, 1, uv.y), smoothstep(uv, 1, 0.5));",
     [](float u, float v, Rgba) {
       return Rgba{smooth(0.2f, 0.8f, u), smooth(0, 1, v), smooth(u, 1, 0.5f), smooth(v, 1, 0.5f)};
     }},
    {"SinCos", "", "return float4(sin(uv.x * 6), cos(uv.y * 6), sin(0), cos(0));",
     [](float u, float v, Rgba) { return Rgba{std::sin(u * 6), std::cos(v * 6), 0, 1}; }},
    {"MulRowVectorAndColumnVector",
     "float4x4 m = {1, 2, 3, 4,  5, 6, 7, 8,  9, 10, 11, 12,  13, 14, 15, 16};",
     "return mul(colour, m) - mul(m, colour) * 0.5;",
     [](float, float, Rgba c) {
       Rgba out;
       for (int j = 0; j < 4; ++j) {
         float row = 0, column = 0;
         for (int i = 0; i < 4; ++i) {
           row += c[i] * static_cast<float>(i * 4 + j + 1);
           column += static_cast<float>(j * 4 + i + 1) * c[i];
         }
         out[j] = row - column * 0.5f;
       }
       return out;
     }},
};

class ShaderLanguage : public EffectTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(ShaderLanguage, MatchesThePlainComputation) {
  const LanguageCase& c = GetParam();
  const std::string source = std::string("sampler2D image;\nfloat4 tint = {0.5, 0.25, 1, 1};\n") +
                             c.declarations +
                             "\nfloat4 run(float2 uv : TEXCOORD0, float4 colour : COLOR0) : COLOR0 {\n" +
                             c.body + "\n}\ntechnique t { pass p { PixelShader = compile ps_2_0 run(); } }\n";
  ASSERT_TRUE(compile(source));
  const Span span{{0.0f, 0.05f, 0.25f, 0.4f, 0.5f, 0.75f, 1.0f},
                  {1.0f, 0.5f, 0.25f, 0.25f, 0.5f, 0.1f, 0.0f},
                  {{0.2f, 0.4f, 0.6f, 0.8f},
                   {1, 0, 0.5f, 1},
                   {0, 0, 0, 0},
                   {0.9f, 0.1f, 0.3f, 0.5f},
                   {0.5f, 0.5f, 0.5f, 1},
                   {0.25f, 0.75f, 1, 0.1f},
                   {1, 1, 1, 1}}};
  const std::vector<Rgba> result = shade(span);
  ASSERT_EQ(result.size(), span.u.size());
  for (int i = 0; i < span.count(); ++i) {
    const Rgba want = c.expected(span.u[i], span.v[i], span.diffuse[i]);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(result[i][k], want[k], 1e-5f) << "pixel " << i << ", component " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFeature, ShaderLanguage, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
