// The evaluator's span mechanics: a row shades to the same bits however it
// is cut into spans (whole spans take a path of their own), a tex2D at the
// interpolated coordinates reads them from the rasteriser's plane or from its
// arrays alike, and every operation and lookup, whichever register file
// block it lands in, gives the bits of a plain evaluation pixel by pixel.
#include "d3dx9/compiler/effect_compiler.h"
#include "d3dx9/shader/program_evaluator.h"
#include "d3dx9/shader/scalar_operations.h"
#include "d3dx9_span_shading.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kSpan = swd3d::kShaderSpanPixels;
constexpr int kRow = kSpan * 3 + 21;

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
  swd3d::ShaderColours diffuse[(kRow + kSpan - 1) / kSpan];
  Row() {
    for (int i = 0; i < kRow; ++i) {
      u[i] = static_cast<float>(0.01 + 0.37 * i);
      v[i] = static_cast<float>(1.5 - 0.011 * i);
      swd3d::ShaderColours& d = diffuse[i / kSpan];
      d.r[i % kSpan] = float(i % 7) / 6;
      d.g[i % kSpan] = float(i % 3) / 2;
      d.b[i % kSpan] = 0.25f;
      d.a[i % kSpan] = i % 2 ? 1.0f : 0.5f;
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
      const swd3d::ShaderColours& d = row.diffuse[(first + i) / kSpan];
      const int k = (first + i) % kSpan;
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
    const std::vector<std::uint32_t> whole = shadeRow(program, row, kSpan);
    for (const int length : {1, 5, 16, 17, 45, 63, 64, 100, kSpan - 1}) {
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
    for (const int count : {kSpan, 37}) {
      const swd3d::SpanTexCoords plane{0.3, 1.0 / 7, -0.2, 0.01};
      float u[kSpan], v[kSpan];
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

// The plain definition: one pixel at a time, each instruction in turn.
Rgba evaluatePixel(const swd3dx::RegisterProgram& program, const std::vector<float>& uniforms,
                   float u, float v, const Rgba& diffuse) {
  using swd3dx::Op;
  static const FakeTextures kTextures;
  std::array<float, swd3dx::kMostRegisters> r{};
  for (const swd3dx::Instruction& ins : program.code) {
    const float a = ins.src[0] < r.size() ? r[ins.src[0]] : 0;
    const float b = ins.src[1] < r.size() ? r[ins.src[1]] : 0;
    const float c = ins.src[2] < r.size() ? r[ins.src[2]] : 0;
    float value = 0;
    switch (ins.op) {
      case Op::Constant: value = ins.constant; break;
      case Op::Uniform: value = uniforms[ins.uniform]; break;
      case Op::TexCoordU: value = u; break;
      case Op::TexCoordV: value = v; break;
      case Op::Diffuse: value = diffuse[ins.stage & 3]; break;
      case Op::Sample: {
        swd3d::ShaderColours texel;
        kTextures.sample(ins.stage, 1, &a, &b, texel);
        const float channels[4] = {texel.r[0], texel.g[0], texel.b[0], texel.a[0]};
        for (int k = 0; k < 4; ++k) {
          if (ins.dst[k] < r.size()) r[ins.dst[k]] = channels[k];
        }
        continue;
      }
      default:
        switch (swd3dx::sourceCount(ins.op)) {
          case 1: value = swd3dx::scalar::unary(ins.op, a); break;
          case 2: value = swd3dx::scalar::binary(ins.op, a, b); break;
          default: value = swd3dx::scalar::ternary(ins.op, a, b, c); break;
        }
    }
    r[ins.dst[0]] = value;
  }
  return {r[program.output[0]], r[program.output[1]], r[program.output[2]], r[program.output[3]]};
}

swd3dx::Instruction instruction(swd3dx::Op op, std::array<swd3dx::Register, 4> dst,
                                std::array<swd3dx::Register, 3> src = {0xFFFF, 0xFFFF, 0xFFFF},
                                float constant = 0, std::uint8_t stage = 0) {
  swd3dx::Instruction ins;
  ins.op = op;
  ins.dst = dst;
  ins.src = src;
  ins.constant = constant;
  ins.stage = stage;
  return ins;
}

constexpr swd3dx::Register kNo = swd3dx::kNoRegister;

// Registers 0 to 4 hold u, v, diffuse red, the uniform and the constant.
std::vector<swd3dx::Instruction> inputsWith(float constant) {
  using swd3dx::Op;
  return {instruction(Op::TexCoordU, {0, kNo, kNo, kNo}), instruction(Op::TexCoordV, {1, kNo, kNo, kNo}),
          instruction(Op::Diffuse, {2, kNo, kNo, kNo}), instruction(Op::Uniform, {3, kNo, kNo, kNo}),
          instruction(Op::Constant, {4, kNo, kNo, kNo}, {kNo, kNo, kNo}, constant)};
}

TEST(SpanEvaluationTest, EveryOperationGivesTheBitsOfThePlainEvaluation) {
  using swd3dx::Op;
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<swd3dx::RegisterProgram> programs;
  // Each operation on every pair of inputs, with constants that are not
  // numbers, infinite, negative zero or ordinary.
  for (int op = static_cast<int>(Op::Negate); op <= static_cast<int>(Op::Select); ++op) {
    for (const float constant : {0.75f, -0.0f, nan, -inf}) {
      for (const std::array<swd3dx::Register, 3> src :
           {std::array<swd3dx::Register, 3>{0, 1, 2}, {2, 4, 0}, {4, 3, 1}, {1, 1, 4}}) {
        swd3dx::RegisterProgram p;
        p.code = inputsWith(constant);
        p.code.push_back(instruction(static_cast<Op>(op), {5, kNo, kNo, kNo}, src));
        p.output = {5, 0, 5, 2};
        programs.push_back(p);
      }
    }
  }
  // Lookups: at the interpolated coordinates, at computed ones (one at
  // another's result), and more of them alive at once than the evaluator has
  // blocks for, each read after all are made.
  {
    swd3dx::RegisterProgram p;
    p.code = inputsWith(0.5f);
    p.code.push_back(instruction(Op::Sample, {5, 6, 7, 8}, {0, 1, kNo}, 0, 1));
    p.code.push_back(instruction(Op::Sample, {9, 10, 11, 12}, {6, 5, kNo}, 0, 2));
    p.code.push_back(instruction(Op::Sample, {5, 6, kNo, 13}, {10, 0, kNo}, 0, 3));
    p.output = {5, 9, 13, 6};
    programs.push_back(p);
  }
  {
    swd3dx::RegisterProgram p;
    p.code = inputsWith(0.25f);
    constexpr int kLookups = swd3dx::EvaluationPlan::kSampleBlocks + 3;
    for (int k = 0; k < kLookups; ++k) {
      const auto at = static_cast<swd3dx::Register>(10 + 4 * k);
      p.code.push_back(instruction(Op::Add, {5, kNo, kNo, kNo}, {0, 4, kNo}));
      p.code.push_back(instruction(Op::Mul, {0, kNo, kNo, kNo}, {5, 1, kNo}));
      p.code.push_back(instruction(Op::Sample, {at, static_cast<swd3dx::Register>(at + 1), kNo,
                                                static_cast<swd3dx::Register>(at + 3)},
                                   {5, 1, kNo}, 0, static_cast<std::uint8_t>(k)));
    }
    p.code.push_back(instruction(Op::Constant, {6, kNo, kNo, kNo}, {kNo, kNo, kNo}, 0));
    p.code.push_back(instruction(Op::Constant, {7, kNo, kNo, kNo}, {kNo, kNo, kNo}, 0));
    for (int k = 0; k < kLookups; ++k) {
      const auto at = static_cast<swd3dx::Register>(10 + 4 * k);
      p.code.push_back(instruction(Op::Mad, {6, kNo, kNo, kNo}, {6, 4, at}));
      p.code.push_back(instruction(Op::Sub, {7, kNo, kNo, kNo}, {static_cast<swd3dx::Register>(at + 3), 7}));
    }
    p.output = {6, 7, 10, static_cast<swd3dx::Register>(10 + 4 * kLookups - 3)};
    programs.push_back(p);
  }

  // Constants that compare equal but are not the same: +0 and -0.
  {
    swd3dx::RegisterProgram p;
    p.code = inputsWith(0.0f);
    p.code.push_back(instruction(Op::Constant, {5, kNo, kNo, kNo}, {kNo, kNo, kNo}, -0.0f));
    p.code.push_back(instruction(Op::Div, {6, kNo, kNo, kNo}, {2, 4, kNo}));
    p.code.push_back(instruction(Op::Div, {7, kNo, kNo, kNo}, {2, 5, kNo}));
    p.output = {6, 7, 4, 5};
    programs.push_back(p);
  }
  // Random straight-line programs over a few registers, so that results are
  // read once, twice or never, and pairs of steps fuse or not.
  std::mt19937 programs_rng(3);
  for (int k = 0; k < 60; ++k) {
    swd3dx::RegisterProgram p;
    p.code = inputsWith(k % 2 ? 0.5f : -2.0f);
    for (const int r : {5, 6, 7}) {
      p.code.push_back(instruction(Op::Constant, {static_cast<swd3dx::Register>(r), kNo, kNo, kNo},
                                   {kNo, kNo, kNo}, 0.125f * static_cast<float>(r)));
    }
    const Op ops[] = {Op::Add, Op::Sub, Op::Mul, Op::Mad, Op::Mad, Op::Max, Op::Sqrt, Op::Select};
    for (int i = 0; i < 12; ++i) {
      const auto reg = [&] { return static_cast<swd3dx::Register>(programs_rng() % 8); };
      p.code.push_back(instruction(ops[programs_rng() % 8], {reg(), kNo, kNo, kNo}, {reg(), reg(), reg()}));
    }
    p.output = {static_cast<swd3dx::Register>(programs_rng() % 8), 5, 6, 7};
    programs.push_back(p);
  }

  // Inputs with every kind of float in them.
  std::mt19937 rng(5);
  const float special[] = {0.0f, -0.0f, inf, -inf, nan, 1e-40f, -3e38f, 1.0f};
  const auto input = [&] {
    return rng() % 4 == 0 ? special[rng() % 8]
                          : std::uniform_real_distribution<float>(-4, 4)(rng);
  };
  std::vector<float> u(kRow), v(kRow);
  std::vector<Rgba> diffuse(kRow);
  for (int i = 0; i < kRow; ++i) {
    u[i] = input();
    v[i] = input();
    diffuse[i] = {input(), 0.5f, 0.25f, 1.0f};
  }
  const std::vector<float> uniforms = {-1.5f};
  static const FakeTextures kTextures;
  // Any NaN for a NaN: which of two a sum propagates (and its sign) may
  // follow the order the compiler chose, and every NaN comes out as 0.
  const auto bitsOf = [](float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return std::isnan(value) ? 0x7FC00000u : bits;
  };
  for (const swd3dx::RegisterProgram& p : programs) {
    const swd3dx::ProgramEvaluator program(p, std::make_shared<const swd3dx::UniformFloats>(uniforms));
    for (const int length : {kSpan, 21}) {
      for (int first = 0; first < kRow; first += length) {
        const int count = std::min(length, kRow - first);
        swd3d::ShaderColours colours{};
        for (int i = 0; i < count; ++i) colours.r[i] = diffuse[first + i][0];
        std::fill_n(colours.g, count, 0.5f);
        std::fill_n(colours.b, count, 0.25f);
        std::fill_n(colours.a, count, 1.0f);
        swd3d::ShaderColours out{};
        program.shadeSpan({count, u.data() + first, v.data() + first, &colours}, kTextures, out);
        for (int i = 0; i < count; ++i) {
          const int x = first + i;
          const Rgba expected = evaluatePixel(p, uniforms, u[x], v[x], diffuse[x]);
          const Rgba got = {out.r[i], out.g[i], out.b[i], out.a[i]};
          for (int k = 0; k < 4; ++k) {
            ASSERT_EQ(bitsOf(got[k]), bitsOf(expected[k]))
                << "operation " << int(p.code[5].op) << " channel " << k << " at (" << u[x] << ", "
                << v[x] << ") constant " << p.code[4].constant;
          }
        }
      }
    }
  }
}

}  // namespace
