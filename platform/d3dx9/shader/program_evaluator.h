// Runs a register program on spans of pixels for the software device: one
// dispatch per instruction and span, a tight loop over the span's pixels
// inside, registers on the stack, no allocation.
#pragma once

#include "d3d9/pixel_shader_program.h"
#include "d3dx9/shader/register_program.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace swd3dx {

// The effect's parameter floats, shared between the effect (which writes
// them) and the shaders it compiled (which read them at every span, so a
// parameter set between two draws takes effect at the second).
using UniformFloats = std::vector<float>;

// How the evaluator takes each instruction. A tex2D at the interpolated
// texture coordinates themselves reads them straight from the rasteriser's
// inputs, and a coordinate load nothing else reads is left out.
struct EvaluationPlan {
  enum class Step : std::uint8_t { Run, Skip, SampleTexCoord };
  explicit EvaluationPlan(const RegisterProgram& program);
  std::vector<Step> steps;  // one per instruction
};

class ProgramEvaluator final : public swd3d::PixelShaderProgram {
 public:
  // Every Uniform instruction of `program` must index into `uniforms`, whose
  // size must not change afterwards.
  ProgramEvaluator(RegisterProgram program, std::shared_ptr<const UniformFloats> uniforms);

  void shadeSpan(const swd3d::ShaderSpanInputs& in, const swd3d::ShaderTextureAccess& textures,
                 swd3d::ShaderColours& out) const override;
  bool readsDiffuse() const override { return readsDiffuse_; }
  bool readsTexCoordArrays() const override { return readsTexCoordArrays_; }

  const RegisterProgram& program() const { return program_; }

 private:
  RegisterProgram program_;
  std::shared_ptr<const UniformFloats> uniforms_;
  EvaluationPlan plan_;
  bool readsDiffuse_ = false;
  bool readsTexCoordArrays_ = false;
};

}  // namespace swd3dx
