#include "d3dx9/shader/program_evaluator.h"

#include "d3d9/raster/vector_lanes.h"
#include "d3dx9/shader/scalar_operations.h"

#include <algorithm>

namespace swd3dx {

namespace {

namespace lanes = swd3d::raster::lanes;
using lanes::Floats;
using lanes::loadFloats;
using lanes::storeFloats;
using Plan = EvaluationPlan;

constexpr int kSpan = swd3d::kShaderSpanPixels;
constexpr int kLanes = lanes::kLanes;
static_assert(kSpan % kLanes == 0);

// The span's register file (see EvaluationPlan). Lanes past the span's
// pixels hold defined values too (inputs and lookups are padded with zeros),
// so every operation runs on whole vectors and needs no tail.
struct RegisterFile {
  RegisterFile(swd3d::ShaderColours& out, const Plan& plan)
      : result(out), constants(reinterpret_cast<const char*>(plan.constants.data())) {}
  swd3d::ShaderColours blocks[Plan::kBlocks];  // left as they are: written before read
  swd3d::ShaderColours& result;
  const char* constants;
  // (Constants are only read: no step writes them.)
  [[gnu::always_inline]] float* lanesAt(std::uint32_t offset) {
    char* base = (offset & Plan::kInResult) != 0 ? reinterpret_cast<char*>(&result)
                 : (offset & Plan::kInConstants) != 0 ? const_cast<char*>(constants)
                                                      : reinterpret_cast<char*>(blocks);
    return reinterpret_cast<float*>(base + (offset & ~(Plan::kInResult | Plan::kInConstants)));
  }
};

template <Op op>
[[gnu::always_inline]] inline void unaryLoop(int chunks, float* d, const float* a) {
  for (int k = 0; k < chunks * kLanes; k += kLanes) {
    const Floats x = loadFloats(a + k);
    if constexpr (op == Op::Negate) {
      storeFloats(d + k, -x);
    } else if constexpr (op == Op::Saturate) {
      const Floats low = x > Floats{} ? x : Floats{};
      storeFloats(d + k, low < lanes::splat(1.0f) ? low : lanes::splat(1.0f));
    } else {
      Floats y{};
      for (int i = 0; i < kLanes; ++i) y[i] = scalar::unary(op, x[i]);
      storeFloats(d + k, y);
    }
  }
}

template <Op op>
[[gnu::always_inline]] inline void binaryLoop(int chunks, float* d, const float* a, const float* b) {
  for (int k = 0; k < chunks * kLanes; k += kLanes) {
    const Floats x = loadFloats(a + k);
    const Floats y = loadFloats(b + k);
    if constexpr (scalar::isArithmetic(op)) {
      storeFloats(d + k, scalar::arithmetic(op, x, y));
    } else {
      Floats z{};
      for (int i = 0; i < kLanes; ++i) z[i] = scalar::binary(op, x[i], y[i]);
      storeFloats(d + k, z);
    }
  }
}

template <Op op>
[[gnu::always_inline]] inline void ternaryLoop(int chunks, float* d, const float* a, const float* b,
                                               const float* c) {
  for (int k = 0; k < chunks * kLanes; k += kLanes) {
    const Floats x = loadFloats(a + k);
    const Floats y = loadFloats(b + k);
    const Floats z = loadFloats(c + k);
    if constexpr (op == Op::Mad) {
      // Two roundings, as the scalar form: no fused multiply-add.
      storeFloats(d + k, x * y + z);
    } else {
      storeFloats(d + k, x != Floats{} ? y : z);
    }
  }
}

// One of the operations that fuse (Add, Sub, Mul, Mad) on whole vectors.
template <Op op>
[[gnu::always_inline]] inline Floats arithmetic3(Floats x, Floats y, Floats z) {
  if constexpr (op == Op::Mad) {
    return x * y + z;
  } else {
    return scalar::arithmetic(op, x, y);
  }
}

// A fused pair (see EvaluationPlan): the intermediate from a, then the
// result with it as the second operation's operand `at`.
template <Op first, Op second, int at>
[[gnu::always_inline]] inline void fusedLoop(int chunks, float* d, const float* const (&a)[3],
                                             const float* const (&b)[3]) {
  for (int k = 0; k < chunks * kLanes; k += kLanes) {
    const Floats t = arithmetic3<first>(loadFloats(a[0] + k), loadFloats(a[1] + k),
                                        first == Op::Mad ? loadFloats(a[2] + k) : Floats{});
    Floats x[3] = {};
    for (int i = 0; i < (second == Op::Mad ? 3 : 2); ++i) x[i] = i == at ? t : loadFloats(b[i] + k);
    storeFloats(d + k, arithmetic3<second>(x[0], x[1], x[2]));
  }
}

template <Op first, Op second>
[[gnu::always_inline]] inline void fusedAt(int at, int chunks, float* d, const float* const (&a)[3],
                                           const float* const (&b)[3]) {
  switch (at) {
    case 0: fusedLoop<first, second, 0>(chunks, d, a, b); break;
    case 1: fusedLoop<first, second, 1>(chunks, d, a, b); break;
    default:
      if constexpr (second == Op::Mad) fusedLoop<first, second, 2>(chunks, d, a, b);
      break;
  }
}

template <Op first>
[[gnu::always_inline]] inline void fusedSecond(Op second, int at, int chunks, float* d,
                                               const float* const (&a)[3], const float* const (&b)[3]) {
  switch (second) {
    case Op::Add: fusedAt<first, Op::Add>(at, chunks, d, a, b); break;
    case Op::Sub: fusedAt<first, Op::Sub>(at, chunks, d, a, b); break;
    case Op::Mul: fusedAt<first, Op::Mul>(at, chunks, d, a, b); break;
    default: fusedAt<first, Op::Mad>(at, chunks, d, a, b); break;
  }
}

[[gnu::always_inline]] inline void fused(Op first, Op second, int at, int chunks, float* d,
                                         const float* const (&a)[3], const float* const (&b)[3]) {
  switch (first) {
    case Op::Add: fusedSecond<Op::Add>(second, at, chunks, d, a, b); break;
    case Op::Sub: fusedSecond<Op::Sub>(second, at, chunks, d, a, b); break;
    case Op::Mul: fusedSecond<Op::Mul>(second, at, chunks, d, a, b); break;
    default: fusedSecond<Op::Mad>(second, at, chunks, d, a, b); break;
  }
}

[[gnu::always_inline]] inline void fill(int chunks, float* d, float value) {
  for (int k = 0; k < chunks * kLanes; k += kLanes) storeFloats(d + k, lanes::splat(value));
}

[[gnu::always_inline]] inline void copy(int chunks, float* d, const float* from) {
  for (int k = 0; k < chunks * kLanes; k += kLanes) storeFloats(d + k, loadFloats(from + k));
}

// The first n values from `from`, zeros after them up to whole vectors.
[[gnu::always_inline]] inline void load(int n, int chunks, float* d, const float* from) {
  if (n == chunks * kLanes) {
    copy(chunks, d, from);
    return;
  }
  std::copy_n(from, n, d);
  std::fill(d + n, d + chunks * kLanes, 0.0f);
}

// Texture coordinate 0 where the rasteriser gives none.
alignas(64) constexpr float kZeros[kSpan] = {};

// The program over n pixels in `chunks` vectors. Built inline twice: for
// whole spans, where the trip counts are constants, and for short ones.
[[gnu::always_inline]] inline void run(const Plan& plan, const float* uniforms, int n, int chunks,
                                       const swd3d::ShaderSpanInputs& in,
                                       const swd3d::ShaderTextureAccess& textures,
                                       swd3d::ShaderColours& out) {
  RegisterFile file(out, plan);
  // Inputs the rasteriser did not give read as texture coordinate 0 and white.
  const auto input = [&](const float* given, float otherwise, float* d) {
    if (given != nullptr) {
      load(n, chunks, d, given);
    } else {
      fill(chunks, d, otherwise);
    }
  };
  const float* u = in.u != nullptr ? in.u : kZeros;
  const float* v = in.v != nullptr ? in.v : kZeros;
  // Read once: the sampling calls could change the vector as far as the
  // compiler knows, so its size would be read again at every step.
  const Plan::Step* const end = plan.steps.data() + plan.steps.size();
  for (const Plan::Step* step = plan.steps.data(); step != end; ++step) {
    float* d = file.lanesAt(step->dst);
    const float* a = file.lanesAt(step->src[0]);
    const float* b = file.lanesAt(step->src[1]);
    const float* c = file.lanesAt(step->src[2]);
    if (step->fused) {
      const float* const second[3] = {file.lanesAt(step->secondSrc[0]),
                                      file.lanesAt(step->secondSrc[1]),
                                      file.lanesAt(step->secondSrc[2])};
      fused(step->op, step->second, step->intermediateAt, chunks, d, {a, b, c}, second);
      continue;
    }
    switch (step->op) {
      case Op::Constant: fill(chunks, d, step->constant); break;
      case Op::Uniform: fill(chunks, d, uniforms[step->uniform]); break;
      case Op::TexCoordU: input(in.u, 0.0f, d); break;
      case Op::TexCoordV: input(in.v, 0.0f, d); break;
      case Op::Diffuse: {
        const swd3d::ShaderColours* colours = in.diffuse;
        const float* channels[4] = {colours ? colours->r : nullptr, colours ? colours->g : nullptr,
                                    colours ? colours->b : nullptr, colours ? colours->a : nullptr};
        input(channels[step->stage & 3], 1.0f, d);
        break;
      }
      case Op::Negate: unaryLoop<Op::Negate>(chunks, d, a); break;
      case Op::Abs: unaryLoop<Op::Abs>(chunks, d, a); break;
      case Op::Sqrt: unaryLoop<Op::Sqrt>(chunks, d, a); break;
      case Op::Rsqrt: unaryLoop<Op::Rsqrt>(chunks, d, a); break;
      case Op::Frac: unaryLoop<Op::Frac>(chunks, d, a); break;
      case Op::Floor: unaryLoop<Op::Floor>(chunks, d, a); break;
      case Op::Sin: unaryLoop<Op::Sin>(chunks, d, a); break;
      case Op::Cos: unaryLoop<Op::Cos>(chunks, d, a); break;
      case Op::Saturate: unaryLoop<Op::Saturate>(chunks, d, a); break;
      case Op::Not: unaryLoop<Op::Not>(chunks, d, a); break;
      case Op::Add: binaryLoop<Op::Add>(chunks, d, a, b); break;
      case Op::Sub: binaryLoop<Op::Sub>(chunks, d, a, b); break;
      case Op::Mul: binaryLoop<Op::Mul>(chunks, d, a, b); break;
      case Op::Div: binaryLoop<Op::Div>(chunks, d, a, b); break;
      case Op::Min: binaryLoop<Op::Min>(chunks, d, a, b); break;
      case Op::Max: binaryLoop<Op::Max>(chunks, d, a, b); break;
      case Op::Pow: binaryLoop<Op::Pow>(chunks, d, a, b); break;
      case Op::Less: binaryLoop<Op::Less>(chunks, d, a, b); break;
      case Op::LessEqual: binaryLoop<Op::LessEqual>(chunks, d, a, b); break;
      case Op::Equal: binaryLoop<Op::Equal>(chunks, d, a, b); break;
      case Op::NotEqual: binaryLoop<Op::NotEqual>(chunks, d, a, b); break;
      case Op::And: binaryLoop<Op::And>(chunks, d, a, b); break;
      case Op::Or: binaryLoop<Op::Or>(chunks, d, a, b); break;
      case Op::Mad: ternaryLoop<Op::Mad>(chunks, d, a, b, c); break;
      case Op::Select: ternaryLoop<Op::Select>(chunks, d, a, b, c); break;
      case Op::Sample: {
        swd3d::ShaderColours& sampled = file.blocks[step->block];
        // Coordinates in the padding lanes are zeros; only n are looked up.
        if (!step->atTexCoord) {
          textures.sample(step->stage, n, a, b, sampled);
        } else if (in.texCoords != nullptr) {
          textures.sampleInterpolated(step->stage, n, *in.texCoords, sampled);
        } else {
          textures.sample(step->stage, n, u, v, sampled);
        }
        float* channels[4] = {sampled.r, sampled.g, sampled.b, sampled.a};
        for (int k = 0; k < 4; ++k) {
          if (n < chunks * kLanes) std::fill(channels[k] + n, channels[k] + chunks * kLanes, 0.0f);
          if (step->copyTo[k] != Plan::kNowhere) copy(chunks, file.lanesAt(step->copyTo[k]), channels[k]);
        }
        break;
      }
    }
  }
  float* const results[4] = {out.r, out.g, out.b, out.a};
  for (int k = 0; k < 4; ++k) {
    const float* from = file.lanesAt(plan.output[k]);
    if (from != results[k]) copy(chunks, results[k], from);
  }
}

SWD3D_VECTOR_CLONES void shade(const Plan& plan, const float* uniforms, int n,
                               const swd3d::ShaderSpanInputs& in,
                               const swd3d::ShaderTextureAccess& textures,
                               swd3d::ShaderColours& out) {
  if (n == kSpan) {
    run(plan, uniforms, kSpan, kSpan / kLanes, in, textures, out);
  } else {
    run(plan, uniforms, n, (n + kLanes - 1) / kLanes, in, textures, out);
  }
}

}  // namespace

ProgramEvaluator::ProgramEvaluator(RegisterProgram program,
                                   std::shared_ptr<const UniformFloats> uniforms)
    : program_(std::move(program)), uniforms_(std::move(uniforms)), plan_(program_) {}

void ProgramEvaluator::shadeSpan(const swd3d::ShaderSpanInputs& in,
                                 const swd3d::ShaderTextureAccess& textures,
                                 swd3d::ShaderColours& out) const {
  const int n = std::clamp(in.count, 0, kSpan);
  if (n == 0) return;
  shade(plan_, uniforms_->data(), n, in, textures, out);
}

}  // namespace swd3dx
