#include "d3dx9/shader/program_evaluator.h"

#include "d3d9/raster/vector_lanes.h"
#include "d3dx9/shader/scalar_operations.h"

#include <algorithm>

namespace swd3dx {

namespace {

namespace lanes = swd3d::raster::lanes;
using lanes::Floats;

constexpr int kSpan = swd3d::kShaderSpanPixels;
constexpr int kChunks = kSpan / lanes::kLanes;
static_assert(kSpan % lanes::kLanes == 0);

// A register: the span's values in whole vectors. Lanes past the span's
// pixels hold defined values too (inputs are padded with zeros), so every
// operation runs on whole vectors and needs no tail.
struct alignas(64) SpanRegister {
  Floats chunk[kChunks];
};

// The operations with a vector form; the others go lane by lane through the
// scalar definitions.
[[gnu::always_inline]] inline Floats vectorBinary(Op op, Floats a, Floats b) {
  switch (op) {
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div: return a / b;
    case Op::Min: return a < b ? a : b;
    case Op::Max: return a > b ? a : b;
    default: return a;
  }
}

template <Op op>
[[gnu::always_inline]] inline void unaryLoop(int chunks, SpanRegister& d, const SpanRegister& a) {
  if constexpr (op == Op::Negate) {
    for (int k = 0; k < chunks; ++k) d.chunk[k] = -a.chunk[k];
  } else if constexpr (op == Op::Saturate) {
    const Floats zero{};
    const Floats one = lanes::splat(1.0f);
    for (int k = 0; k < chunks; ++k) {
      const Floats low = a.chunk[k] > zero ? a.chunk[k] : zero;
      d.chunk[k] = low < one ? low : one;
    }
  } else {
    for (int k = 0; k < chunks; ++k) {
      for (int i = 0; i < lanes::kLanes; ++i) d.chunk[k][i] = scalar::unary(op, a.chunk[k][i]);
    }
  }
}

template <Op op>
[[gnu::always_inline]] inline void binaryLoop(int chunks, SpanRegister& d, const SpanRegister& a,
                                              const SpanRegister& b) {
  if constexpr (op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::Div ||
                op == Op::Min || op == Op::Max) {
    for (int k = 0; k < chunks; ++k) d.chunk[k] = vectorBinary(op, a.chunk[k], b.chunk[k]);
  } else {
    for (int k = 0; k < chunks; ++k) {
      for (int i = 0; i < lanes::kLanes; ++i) {
        d.chunk[k][i] = scalar::binary(op, a.chunk[k][i], b.chunk[k][i]);
      }
    }
  }
}

template <Op op>
[[gnu::always_inline]] inline void ternaryLoop(int chunks, SpanRegister& d, const SpanRegister& a,
                                               const SpanRegister& b, const SpanRegister& c) {
  if constexpr (op == Op::Mad) {
    // Two roundings, as the scalar form: no fused multiply-add.
    for (int k = 0; k < chunks; ++k) d.chunk[k] = a.chunk[k] * b.chunk[k] + c.chunk[k];
  } else {
    const Floats zero{};
    for (int k = 0; k < chunks; ++k) {
      d.chunk[k] = a.chunk[k] != zero ? b.chunk[k] : c.chunk[k];
    }
  }
}

[[gnu::always_inline]] inline void fill(int chunks, SpanRegister& d, float value) {
  const Floats v = lanes::splat(value);
  for (int k = 0; k < chunks; ++k) d.chunk[k] = v;
}

// The first n values from `from`, zeros after them up to whole vectors.
[[gnu::always_inline]] inline void load(int n, int chunks, SpanRegister& d, const float* from) {
  if (n == chunks * lanes::kLanes) {
    for (int k = 0; k < chunks; ++k) d.chunk[k] = lanes::loadFloats(from + k * lanes::kLanes);
    return;
  }
  float* lanesOf = reinterpret_cast<float*>(d.chunk);
  std::copy_n(from, n, lanesOf);
  std::fill(lanesOf + n, lanesOf + chunks * lanes::kLanes, 0.0f);
}

[[gnu::always_inline]] inline void unload(int n, int chunks, const SpanRegister& r, float* to) {
  if (n == chunks * lanes::kLanes) {
    for (int k = 0; k < chunks; ++k) lanes::storeFloats(to + k * lanes::kLanes, r.chunk[k]);
    return;
  }
  std::copy_n(reinterpret_cast<const float*>(r.chunk), n, to);
}

// Texture coordinate 0 where the rasteriser gives none.
alignas(64) constexpr float kZeros[kSpan] = {};

// The program over n pixels in `chunks` vectors. Built inline twice: for
// whole spans, where the trip counts are constants, and for short ones.
[[gnu::always_inline]] inline void run(const RegisterProgram& program, const EvaluationPlan& plan,
                                       const float* uniforms, int n, int chunks, const swd3d::ShaderSpanInputs& in,
                                       const swd3d::ShaderTextureAccess& textures,
                                       swd3d::ShaderColours& out) {
  SpanRegister file[kMostRegisters];
  swd3d::ShaderColours sampled;
  // Inputs the rasteriser did not give read as texture coordinate 0 and white.
  const auto input = [&](const float* given, float otherwise, SpanRegister& d) {
    if (given != nullptr) {
      load(n, chunks, d, given);
    } else {
      fill(chunks, d, otherwise);
    }
  };

  const float* u = in.u != nullptr ? in.u : kZeros;
  const float* v = in.v != nullptr ? in.v : kZeros;
  // Read once: the sampling calls could change the vectors as far as the
  // compiler knows, so their sizes would be read again at every instruction.
  const Instruction* const code = program.code.data();
  const EvaluationPlan::Step* const steps = plan.steps.data();
  const std::size_t size = program.code.size();
  for (std::size_t at = 0; at < size; ++at) {
    const Instruction& ins = code[at];
    const EvaluationPlan::Step step = steps[at];
    if (step == EvaluationPlan::Step::Skip) continue;
    SpanRegister* d = ins.dst[0] != kNoRegister ? &file[ins.dst[0]] : nullptr;
    const SpanRegister* a = ins.src[0] != kNoRegister ? &file[ins.src[0]] : nullptr;
    const SpanRegister* b = ins.src[1] != kNoRegister ? &file[ins.src[1]] : nullptr;
    const SpanRegister* c = ins.src[2] != kNoRegister ? &file[ins.src[2]] : nullptr;
    switch (ins.op) {
      case Op::Constant: fill(chunks, *d, ins.constant); break;
      case Op::Uniform: fill(chunks, *d, uniforms[ins.uniform]); break;
      case Op::TexCoordU: input(in.u, 0.0f, *d); break;
      case Op::TexCoordV: input(in.v, 0.0f, *d); break;
      case Op::Diffuse: {
        const swd3d::ShaderColours* colours = in.diffuse;
        const float* channels[4] = {colours ? colours->r : nullptr, colours ? colours->g : nullptr,
                                    colours ? colours->b : nullptr, colours ? colours->a : nullptr};
        input(channels[ins.stage & 3], 1.0f, *d);
        break;
      }
      case Op::Negate: unaryLoop<Op::Negate>(chunks, *d, *a); break;
      case Op::Abs: unaryLoop<Op::Abs>(chunks, *d, *a); break;
      case Op::Sqrt: unaryLoop<Op::Sqrt>(chunks, *d, *a); break;
      case Op::Rsqrt: unaryLoop<Op::Rsqrt>(chunks, *d, *a); break;
      case Op::Frac: unaryLoop<Op::Frac>(chunks, *d, *a); break;
      case Op::Floor: unaryLoop<Op::Floor>(chunks, *d, *a); break;
      case Op::Sin: unaryLoop<Op::Sin>(chunks, *d, *a); break;
      case Op::Cos: unaryLoop<Op::Cos>(chunks, *d, *a); break;
      case Op::Saturate: unaryLoop<Op::Saturate>(chunks, *d, *a); break;
      case Op::Not: unaryLoop<Op::Not>(chunks, *d, *a); break;
      case Op::Add: binaryLoop<Op::Add>(chunks, *d, *a, *b); break;
      case Op::Sub: binaryLoop<Op::Sub>(chunks, *d, *a, *b); break;
      case Op::Mul: binaryLoop<Op::Mul>(chunks, *d, *a, *b); break;
      case Op::Div: binaryLoop<Op::Div>(chunks, *d, *a, *b); break;
      case Op::Min: binaryLoop<Op::Min>(chunks, *d, *a, *b); break;
      case Op::Max: binaryLoop<Op::Max>(chunks, *d, *a, *b); break;
      case Op::Pow: binaryLoop<Op::Pow>(chunks, *d, *a, *b); break;
      case Op::Less: binaryLoop<Op::Less>(chunks, *d, *a, *b); break;
      case Op::LessEqual: binaryLoop<Op::LessEqual>(chunks, *d, *a, *b); break;
      case Op::Equal: binaryLoop<Op::Equal>(chunks, *d, *a, *b); break;
      case Op::NotEqual: binaryLoop<Op::NotEqual>(chunks, *d, *a, *b); break;
      case Op::And: binaryLoop<Op::And>(chunks, *d, *a, *b); break;
      case Op::Or: binaryLoop<Op::Or>(chunks, *d, *a, *b); break;
      case Op::Mad: ternaryLoop<Op::Mad>(chunks, *d, *a, *b, *c); break;
      case Op::Select: ternaryLoop<Op::Select>(chunks, *d, *a, *b, *c); break;
      case Op::Sample: {
        // Coordinates in the padding lanes are zeros; only n are looked up.
        if (step != EvaluationPlan::Step::SampleTexCoord) {
          textures.sample(ins.stage, n, reinterpret_cast<const float*>(a->chunk),
                          reinterpret_cast<const float*>(b->chunk), sampled);
        } else if (in.texCoords != nullptr) {
          textures.sampleInterpolated(ins.stage, n, *in.texCoords, sampled);
        } else {
          textures.sample(ins.stage, n, u, v, sampled);
        }
        const float* channels[4] = {sampled.r, sampled.g, sampled.b, sampled.a};
        for (int k = 0; k < 4; ++k) {
          if (ins.dst[k] != kNoRegister) load(n, chunks, file[ins.dst[k]], channels[k]);
        }
        break;
      }
    }
  }
  unload(n, chunks, file[program.output[0]], out.r);
  unload(n, chunks, file[program.output[1]], out.g);
  unload(n, chunks, file[program.output[2]], out.b);
  unload(n, chunks, file[program.output[3]], out.a);
}

SWD3D_VECTOR_CLONES void shade(const RegisterProgram& program, const EvaluationPlan& plan,
                               const float* uniforms, int n,
                               const swd3d::ShaderSpanInputs& in,
                               const swd3d::ShaderTextureAccess& textures,
                               swd3d::ShaderColours& out) {
  if (n == kSpan) {
    run(program, plan, uniforms, kSpan, kChunks, in, textures, out);
  } else {
    run(program, plan, uniforms, n, (n + lanes::kLanes - 1) / lanes::kLanes, in, textures, out);
  }
}

}  // namespace

EvaluationPlan::EvaluationPlan(const RegisterProgram& program)
    : steps(program.code.size(), Step::Run) {
  // Which instruction last wrote each register, and which writers are read.
  std::vector<int> writer(kMostRegisters, -1);
  std::vector<bool> read(program.code.size(), false);
  const auto isLoad = [&](Register r, Op op) {
    return r < kMostRegisters && writer[r] >= 0 && program.code[writer[r]].op == op;
  };
  for (std::size_t at = 0; at < program.code.size(); ++at) {
    const Instruction& ins = program.code[at];
    const int sources = sourceCount(ins.op);
    if (ins.op == Op::Sample && isLoad(ins.src[0], Op::TexCoordU) &&
        isLoad(ins.src[1], Op::TexCoordV)) {
      steps[at] = Step::SampleTexCoord;
    } else {
      for (int k = 0; k < sources; ++k) {
        if (ins.src[k] < kMostRegisters && writer[ins.src[k]] >= 0) read[writer[ins.src[k]]] = true;
      }
    }
    for (const Register d : ins.dst) {
      if (d < kMostRegisters) writer[d] = static_cast<int>(at);
    }
  }
  for (const Register r : program.output) {
    if (r < kMostRegisters && writer[r] >= 0) read[writer[r]] = true;
  }
  for (std::size_t at = 0; at < program.code.size(); ++at) {
    const Op op = program.code[at].op;
    if ((op == Op::TexCoordU || op == Op::TexCoordV) && !read[at]) steps[at] = Step::Skip;
  }
}

ProgramEvaluator::ProgramEvaluator(RegisterProgram program,
                                   std::shared_ptr<const UniformFloats> uniforms)
    : program_(std::move(program)), uniforms_(std::move(uniforms)), plan_(program_) {
  readsDiffuse_ = std::any_of(program_.code.begin(), program_.code.end(),
                              [](const Instruction& ins) { return ins.op == Op::Diffuse; });
  for (std::size_t at = 0; at < program_.code.size(); ++at) {
    const Op op = program_.code[at].op;
    if ((op == Op::TexCoordU || op == Op::TexCoordV) && plan_.steps[at] != EvaluationPlan::Step::Skip) {
      readsTexCoordArrays_ = true;
    }
  }
}

void ProgramEvaluator::shadeSpan(const swd3d::ShaderSpanInputs& in,
                                 const swd3d::ShaderTextureAccess& textures,
                                 swd3d::ShaderColours& out) const {
  const int n = std::clamp(in.count, 0, kSpan);
  if (n == 0) return;
  shade(program_, plan_, uniforms_->data(), n, in, textures, out);
}

}  // namespace swd3dx
