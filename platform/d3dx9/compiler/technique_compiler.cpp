#include "d3dx9/compiler/technique_compiler.h"

#include <bit>
#include <cctype>
#include <map>
#include <string_view>

namespace swd3dx {

namespace {

constexpr std::string_view kProfiles[] = {"ps_2_0", "ps_2_a", "ps_2_b", "ps_3_0"};

bool isNull(const StateValue& value) {
  if (value.kind != StateValue::Kind::Word || value.text.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(value.text[i])) != "NULL"[i]) return false;
  }
  return true;
}

// The index of the visible parameter of that name and base type, or -1.
int findParameter(const CompiledEffect& effect, const std::string& name, BaseType base) {
  for (std::size_t i = 0; i < effect.parameters.size(); ++i) {
    const CompiledParameter& p = effect.parameters[i];
    if (p.visible && p.name == name && p.type.base == base) return static_cast<int>(i);
  }
  return -1;
}

// The DWORD a state is set to: a whole number, a float's bits, or a value name.
std::optional<DWORD> stateValue(const StateInfo& info, const StateValue& value,
                                Diagnostics& diagnostics) {
  const std::string state(info.name);
  switch (value.kind) {
    case StateValue::Kind::Number:
      if (info.floatValue) return std::bit_cast<DWORD>(static_cast<float>(value.number));
      if (!value.integer || value.number > 4294967295.0 || value.number < -2147483648.0) {
        diagnostics.error(value.at, state + " takes a whole number of 32 bits, not " + value.text);
        return std::nullopt;
      }
      return value.bits;
    case StateValue::Kind::Word:
      if (const std::optional<DWORD> named = findValue(info.values, value.text)) return named;
      diagnostics.error(value.at, "'" + value.text + "' is not a value of " + state);
      return std::nullopt;
    case StateValue::Kind::Reference:
    case StateValue::Kind::Compile: break;
  }
  diagnostics.error(value.at, state + " takes a value, not a parameter or shader");
  return std::nullopt;
}

class TechniqueCompiler {
 public:
  TechniqueCompiler(const EffectSyntax& syntax, const UniformOffsets& offsets, bool generate,
                    CompiledEffect& effect, Diagnostics& diagnostics)
      : syntax_(syntax), offsets_(offsets), generate_(generate), effect_(effect),
        diagnostics_(diagnostics) {}

  void run() {
    for (const TechniqueDeclaration& declaration : syntax_.techniques) {
      for (const CompiledTechnique& other : effect_.techniques) {
        if (!declaration.name.empty() && other.name == declaration.name) {
          diagnostics_.error(declaration.at,
                             "the technique '" + declaration.name + "' is already declared");
        }
      }
      CompiledTechnique technique;
      technique.name = declaration.name;
      for (const PassDeclaration& passDeclaration : declaration.passes) {
        CompiledPass pass;
        pass.name = passDeclaration.name;
        for (const StateAssignment& assignment : passDeclaration.states) {
          if (std::optional<CompiledState> state = resolve(assignment, technique.valid)) {
            pass.states.push_back(*state);
          }
        }
        technique.passes.push_back(std::move(pass));
      }
      effect_.techniques.push_back(std::move(technique));
    }
  }

 private:
  bool fail(SourcePosition at, std::string message) {
    diagnostics_.error(at, std::move(message));
    return false;
  }

  bool samplerHonoured(int parameter) const {
    return effect_.parameters[parameter].samplerStatesHonoured;
  }

  std::optional<CompiledState> resolve(const StateAssignment& assignment, bool& valid) {
    const StateInfo* info = findState(assignment.name);
    if (info == nullptr) {
      fail(assignment.at, "unknown state '" + assignment.name + "'");
      return std::nullopt;
    }
    const std::string name(info->name);
    CompiledState state;
    state.target = info->target;
    state.number = info->number;
    const bool indexed = info->target == StateTarget::Sampler || info->target == StateTarget::Stage ||
                         info->target == StateTarget::Texture ||
                         info->target == StateTarget::SamplerBlock;
    if (assignment.index && !indexed) {
      fail(assignment.at, name + " takes no index");
      return std::nullopt;
    }
    state.index = assignment.index.value_or(0);
    const DWORD mostIndex = info->target == StateTarget::Stage ? 7 : 15;
    if (state.index > mostIndex) {
      fail(assignment.at, name + "[" + std::to_string(state.index) + "]: the index is at most " +
                              std::to_string(mostIndex));
      return std::nullopt;
    }
    const StateValue& value = assignment.value;
    switch (info->target) {
      case StateTarget::Render:
      case StateTarget::Sampler:
      case StateTarget::Stage: {
        const std::optional<DWORD> number = stateValue(*info, value, diagnostics_);
        if (!number) return std::nullopt;
        state.value = *number;
        valid = valid && info->honours(*number, state.index);
        return state;
      }
      case StateTarget::Texture:
        if (isNull(value)) return state;
        state.parameter = value.kind == StateValue::Kind::Reference
                              ? findParameter(effect_, value.text, BaseType::Texture)
                              : -1;
        if (state.parameter < 0) {
          fail(value.at, "Texture takes <name> of a texture parameter or NULL");
          return std::nullopt;
        }
        return state;
      case StateTarget::SamplerBlock:
        state.parameter = value.kind == StateValue::Kind::Reference
                              ? findParameter(effect_, value.text, BaseType::Sampler)
                              : -1;
        if (state.parameter < 0) {
          fail(value.at, "Sampler takes (name) of a sampler parameter");
          return std::nullopt;
        }
        valid = valid && samplerHonoured(state.parameter);
        return state;
      case StateTarget::VertexShader:
        if (value.kind == StateValue::Kind::Compile) {
          fail(value.profileAt, "vertex shaders are not supported");
          return std::nullopt;
        }
        if (!isNull(value)) {
          fail(value.at, "VertexShader can only be set to NULL");
          return std::nullopt;
        }
        return state;
      case StateTarget::PixelShader:
        if (isNull(value)) return state;
        if (value.kind != StateValue::Kind::Compile) {
          fail(value.at, "PixelShader takes compile ps_2_0 function() or NULL");
          return std::nullopt;
        }
        if (!pixelShader(value, state)) return std::nullopt;
        if (state.shader >= 0) {
          for (const SamplerBinding& binding : effect_.shaders[state.shader].samplers) {
            valid = valid && samplerHonoured(binding.parameter);
          }
        }
        return state;
    }
    return std::nullopt;
  }

  bool pixelShader(const StateValue& value, CompiledState& state) {
    if (value.profile.rfind("vs_", 0) == 0) {
      return fail(value.profileAt, "vertex shaders are not supported");
    }
    bool known = false;
    for (std::string_view profile : kProfiles) known = known || value.profile == profile;
    if (!known) {
      return fail(value.profileAt, "the profile '" + value.profile +
                                "' is not supported: ps_2_0, ps_2_a, ps_2_b or ps_3_0");
    }
    int function = -1;
    for (std::size_t i = 0; i < syntax_.functions.size(); ++i) {
      if (syntax_.functions[i].name == value.text) function = static_cast<int>(i);
    }
    if (function < 0) return fail(value.functionAt, "unknown function '" + value.text + "'");
    if (!generate_) return true;
    if (const auto it = shaderOf_.find(function); it != shaderOf_.end()) {
      state.shader = it->second;
      return true;
    }
    std::optional<GeneratedShader> shader =
        generateShader(syntax_.functions[function], syntax_, offsets_, value.functionAt, diagnostics_);
    if (!shader) return false;
    state.shader = static_cast<int>(effect_.shaders.size());
    shaderOf_[function] = state.shader;
    effect_.shaders.push_back(std::move(*shader));
    return true;
  }

  const EffectSyntax& syntax_;
  const UniformOffsets& offsets_;
  bool generate_;
  CompiledEffect& effect_;
  Diagnostics& diagnostics_;
  std::map<int, int> shaderOf_;  // function -> shader
};

}  // namespace

void compileSamplerStates(const EffectSyntax& syntax, CompiledEffect& effect,
                          Diagnostics& diagnostics) {
  for (std::size_t p = 0; p < syntax.parameters.size(); ++p) {
    for (const StateAssignment& assignment : syntax.parameters[p].samplerStates) {
      const StateInfo* info = findState(assignment.name);
      if (info == nullptr ||
          (info->target != StateTarget::Sampler && info->target != StateTarget::Texture)) {
        diagnostics.error(assignment.at, "'" + assignment.name + "' is not a sampler state");
        continue;
      }
      if (assignment.index) {
        diagnostics.error(assignment.at, std::string(info->name) + " takes no index in a sampler_state");
        continue;
      }
      CompiledParameter& sampler = effect.parameters[p];
      if (info->target == StateTarget::Texture) {
        const int texture = assignment.value.kind == StateValue::Kind::Reference
                                ? findParameter(effect, assignment.value.text, BaseType::Texture)
                                : -1;
        if (texture < 0) {
          diagnostics.error(assignment.value.at, "Texture takes <name> of a texture parameter");
        }
        sampler.samplerTexture = texture;
        continue;
      }
      if (const std::optional<DWORD> value = stateValue(*info, assignment.value, diagnostics)) {
        sampler.samplerStates.emplace_back(info->number, *value);
        sampler.samplerStatesHonoured = sampler.samplerStatesHonoured && info->honours(*value, 0);
      }
    }
  }
}

void compileTechniques(const EffectSyntax& syntax, const UniformOffsets& offsets,
                       bool generateShaders, CompiledEffect& effect, Diagnostics& diagnostics) {
  TechniqueCompiler(syntax, offsets, generateShaders, effect, diagnostics).run();
}

}  // namespace swd3dx
