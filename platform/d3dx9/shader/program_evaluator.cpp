#include "d3dx9/shader/program_evaluator.h"

#include "d3dx9/shader/scalar_operations.h"

#include <algorithm>
#include <cstring>

namespace swd3dx {

namespace {

constexpr int kSpan = swd3d::kShaderSpanPixels;
using Span = float[kSpan];

void fill(int n, float* d, float value) {
  for (int i = 0; i < n; ++i) d[i] = value;
}

void copy(int n, float* d, const float* from) { std::memcpy(d, from, sizeof(float) * n); }

// The operation is a template argument, so each loop's body is one
// operation with no dispatch left inside.
template <Op op>
void unaryLoop(int n, float* d, const float* a) {
  for (int i = 0; i < n; ++i) d[i] = scalar::unary(op, a[i]);
}

template <Op op>
void binaryLoop(int n, float* d, const float* a, const float* b) {
  for (int i = 0; i < n; ++i) d[i] = scalar::binary(op, a[i], b[i]);
}

template <Op op>
void ternaryLoop(int n, float* d, const float* a, const float* b, const float* c) {
  for (int i = 0; i < n; ++i) d[i] = scalar::ternary(op, a[i], b[i], c[i]);
}

}  // namespace

ProgramEvaluator::ProgramEvaluator(RegisterProgram program,
                                   std::shared_ptr<const UniformFloats> uniforms)
    : program_(std::move(program)), uniforms_(std::move(uniforms)) {}

void ProgramEvaluator::shadeSpan(const swd3d::ShaderSpanInputs& in,
                                 const swd3d::ShaderTextureAccess& textures,
                                 swd3d::ShaderColours& out) const {
  const int n = std::clamp(in.count, 0, kSpan);
  if (n == 0) return;
  alignas(64) Span file[kMostRegisters];
  swd3d::ShaderColours sampled;
  const float* uniforms = uniforms_->data();
  // Inputs the rasteriser did not give read as texture coordinate 0 and white.
  const auto input = [&](const float* given, float otherwise, Register d) {
    if (given != nullptr) {
      copy(n, file[d], given);
    } else {
      fill(n, file[d], otherwise);
    }
  };

  for (const Instruction& ins : program_.code) {
    float* d = ins.dst[0] != kNoRegister ? file[ins.dst[0]] : nullptr;
    const float* a = ins.src[0] != kNoRegister ? file[ins.src[0]] : nullptr;
    const float* b = ins.src[1] != kNoRegister ? file[ins.src[1]] : nullptr;
    const float* c = ins.src[2] != kNoRegister ? file[ins.src[2]] : nullptr;
    switch (ins.op) {
      case Op::Constant: fill(n, d, ins.constant); break;
      case Op::Uniform: fill(n, d, uniforms[ins.uniform]); break;
      case Op::TexCoordU: input(in.u, 0.0f, ins.dst[0]); break;
      case Op::TexCoordV: input(in.v, 0.0f, ins.dst[0]); break;
      case Op::Diffuse: {
        const swd3d::ShaderColours* colours = in.diffuse;
        const float* channels[4] = {colours ? colours->r : nullptr, colours ? colours->g : nullptr,
                                    colours ? colours->b : nullptr, colours ? colours->a : nullptr};
        input(channels[ins.stage & 3], 1.0f, ins.dst[0]);
        break;
      }
      case Op::Negate: unaryLoop<Op::Negate>(n, d, a); break;
      case Op::Abs: unaryLoop<Op::Abs>(n, d, a); break;
      case Op::Sqrt: unaryLoop<Op::Sqrt>(n, d, a); break;
      case Op::Rsqrt: unaryLoop<Op::Rsqrt>(n, d, a); break;
      case Op::Frac: unaryLoop<Op::Frac>(n, d, a); break;
      case Op::Floor: unaryLoop<Op::Floor>(n, d, a); break;
      case Op::Sin: unaryLoop<Op::Sin>(n, d, a); break;
      case Op::Cos: unaryLoop<Op::Cos>(n, d, a); break;
      case Op::Saturate: unaryLoop<Op::Saturate>(n, d, a); break;
      case Op::Not: unaryLoop<Op::Not>(n, d, a); break;
      case Op::Add: binaryLoop<Op::Add>(n, d, a, b); break;
      case Op::Sub: binaryLoop<Op::Sub>(n, d, a, b); break;
      case Op::Mul: binaryLoop<Op::Mul>(n, d, a, b); break;
      case Op::Div: binaryLoop<Op::Div>(n, d, a, b); break;
      case Op::Min: binaryLoop<Op::Min>(n, d, a, b); break;
      case Op::Max: binaryLoop<Op::Max>(n, d, a, b); break;
      case Op::Pow: binaryLoop<Op::Pow>(n, d, a, b); break;
      case Op::Less: binaryLoop<Op::Less>(n, d, a, b); break;
      case Op::LessEqual: binaryLoop<Op::LessEqual>(n, d, a, b); break;
      case Op::Equal: binaryLoop<Op::Equal>(n, d, a, b); break;
      case Op::NotEqual: binaryLoop<Op::NotEqual>(n, d, a, b); break;
      case Op::And: binaryLoop<Op::And>(n, d, a, b); break;
      case Op::Or: binaryLoop<Op::Or>(n, d, a, b); break;
      case Op::Mad: ternaryLoop<Op::Mad>(n, d, a, b, c); break;
      case Op::Select: ternaryLoop<Op::Select>(n, d, a, b, c); break;
      case Op::Sample: {
        textures.sample(ins.stage, n, a, b, sampled);
        const float* channels[4] = {sampled.r, sampled.g, sampled.b, sampled.a};
        for (int k = 0; k < 4; ++k) {
          if (ins.dst[k] != kNoRegister) copy(n, file[ins.dst[k]], channels[k]);
        }
        break;
      }
    }
  }
  copy(n, out.r, file[program_.output[0]]);
  copy(n, out.g, file[program_.output[1]]);
  copy(n, out.b, file[program_.output[2]]);
  copy(n, out.a, file[program_.output[3]]);
}

}  // namespace swd3dx
