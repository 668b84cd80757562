// Runs a register program on spans of pixels for the software device: one
// dispatch per instruction and span, a tight loop over the span's pixels
// inside, registers on the stack, no allocation.
#pragma once

#include "d3d9/pixel_shader_program.h"
#include "d3dx9/shader/evaluation_plan.h"
#include "d3dx9/shader/register_program.h"

#include <memory>
#include <vector>

namespace swd3dx {

// The effect's parameter floats, shared between the effect (which writes
// them) and the shaders it compiled (which read them at every span, so a
// parameter set between two draws takes effect at the second).
using UniformFloats = std::vector<float>;

class ProgramEvaluator final : public swd3d::PixelShaderProgram {
 public:
  // Every Uniform instruction of `program` must index into `uniforms`, whose
  // size must not change afterwards.
  ProgramEvaluator(RegisterProgram program, std::shared_ptr<const UniformFloats> uniforms);

  void shadeSpan(const swd3d::ShaderSpanInputs& in, const swd3d::ShaderTextureAccess& textures,
                 swd3d::ShaderColours& out) const override;
  bool readsDiffuse() const override { return plan_.readsDiffuse; }
  bool readsTexCoordArrays() const override { return plan_.readsTexCoordArrays; }

  const RegisterProgram& program() const { return program_; }

 private:
  RegisterProgram program_;
  std::shared_ptr<const UniformFloats> uniforms_;
  EvaluationPlan plan_;
};

}  // namespace swd3dx
