#include "d3dx9/compiler/effect_compiler.h"

#include "d3dx9/compiler/effect_parser.h"
#include "d3dx9/compiler/lexer.h"
#include "d3dx9/compiler/technique_compiler.h"
#include "d3dx9/compiler/type_checker.h"

namespace swd3dx {

namespace {

// Gives each parameter its place among the uniform floats or the textures,
// with its initial value, and gives each static const its values. Values are
// evaluated only when `evaluate` (the declarations checked without error).
UniformOffsets layOutParameters(const EffectSyntax& syntax, CheckedEffect& checked,
                                bool evaluate, CompiledEffect& effect,
                                Diagnostics& diagnostics) {
  UniformOffsets offsets;
  for (std::size_t i = 0; i < syntax.parameters.size(); ++i) {
    const ParameterDeclaration& declaration = syntax.parameters[i];
    CompiledParameter parameter;
    parameter.name = declaration.name;
    parameter.type = declaration.type;
    parameter.visible = !declaration.isStaticConst;
    std::optional<std::vector<float>> values;
    // After one value fails, later ones may use it: evaluate no further.
    if (evaluate && diagnostics.empty() && declaration.initializer != nullptr) {
      values = evaluateConstant(*declaration.initializer, declaration.type, declaration.name,
                                diagnostics);
    }
    const bool holdsFloats = declaration.type.isNumeric() || declaration.type.base == BaseType::Matrix;
    if (declaration.isStaticConst) {
      if (values) checked.globals[i]->values = *values;
    } else if (holdsFloats) {
      parameter.offset = static_cast<int>(effect.uniforms.size());
      effect.uniforms.resize(effect.uniforms.size() + declaration.type.size, 0.0f);
      if (values) std::copy(values->begin(), values->end(), effect.uniforms.begin() + parameter.offset);
    } else if (declaration.type.base == BaseType::Texture) {
      parameter.texture = effect.textureCount++;
    }
    offsets.push_back(parameter.offset);
    effect.parameters.push_back(std::move(parameter));
  }
  return offsets;
}

}  // namespace

std::optional<CompiledEffect> compileEffect(std::string_view source, Diagnostics& diagnostics) {
  const std::optional<std::vector<Token>> tokens = tokenize(source, diagnostics);
  if (!tokens) return std::nullopt;
  std::optional<EffectSyntax> syntax = parseEffect(*tokens, diagnostics);
  if (!syntax) return std::nullopt;
  CheckedEffect checked = checkEffect(*syntax, diagnostics);
  const bool checkedCleanly = diagnostics.empty();

  CompiledEffect effect;
  const UniformOffsets offsets =
      layOutParameters(*syntax, checked, checkedCleanly, effect, diagnostics);
  compileSamplerStates(*syntax, effect, diagnostics);
  compileTechniques(*syntax, offsets, checkedCleanly && diagnostics.empty(), effect, diagnostics);
  if (!diagnostics.empty()) return std::nullopt;
  return effect;
}

}  // namespace swd3dx
