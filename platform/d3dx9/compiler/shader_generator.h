// Generates the register program of a checked pixel shader function, and
// evaluates the constant initial values of parameters.
//
// A shader runs on many pixels at once, so `if` does not jump: both branches
// are generated, and every assignment inside a branch keeps the old value on
// the pixels the branch does not cover (a select on the branch's condition).
// A `return` inside a branch records the result for the pixels that reach it
// and takes them out of the rest of the function.
#pragma once

#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/syntax_tree.h"
#include "d3dx9/shader/register_program.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swd3dx {

// A sampler parameter a shader reads through tex2D, and the device stage it
// reads it from.
struct SamplerBinding {
  int parameter = 0;
  std::uint8_t stage = 0;
};

struct GeneratedShader {
  RegisterProgram program;
  std::vector<SamplerBinding> samplers;
};

// Where each parameter's floats start among the uniform floats (-1 for
// textures and samplers).
using UniformOffsets = std::vector<int>;

// The shader of `function` (checked, without errors), compiled at the pass
// assignment at `compiledAt`. Samplers with a register(sN) take stage N; the
// others take the lowest free stages in the order they are declared.
std::optional<GeneratedShader> generateShader(const FunctionDeclaration& function,
                                              const EffectSyntax& effect,
                                              const UniformOffsets& offsets,
                                              SourcePosition compiledAt,
                                              Diagnostics& diagnostics);

// The components of a checked initial value, converted to `type`; nothing
// (and an error) when it is not constant.
std::optional<std::vector<float>> evaluateConstant(const Expression& initializer, ValueType type,
                                                   const std::string& name,
                                                   Diagnostics& diagnostics);

}  // namespace swd3dx
