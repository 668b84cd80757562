#include "d3dx9/effect/pass_device_calls.h"

namespace swd3dx {

namespace {

void walkSampler(const CompiledEffect& effect, int sampler, DWORD stage, PassCalls& calls) {
  const CompiledParameter& parameter = effect.parameters[sampler];
  if (parameter.samplerTexture >= 0) {
    calls.texture(stage, effect.parameters[parameter.samplerTexture].texture);
  }
  for (const auto& [type, value] : parameter.samplerStates) calls.samplerState(stage, type, value);
}

}  // namespace

void walkPass(const CompiledEffect& effect, const CompiledPass& pass, PassCalls& calls) {
  for (const CompiledState& state : pass.states) {
    switch (state.target) {
      case StateTarget::Render: calls.renderState(state.number, state.value); break;
      case StateTarget::Sampler: calls.samplerState(state.index, state.number, state.value); break;
      case StateTarget::Stage: calls.stageState(state.index, state.number, state.value); break;
      case StateTarget::Texture:
        calls.texture(state.index,
                      state.parameter >= 0 ? effect.parameters[state.parameter].texture : -1);
        break;
      case StateTarget::SamplerBlock: walkSampler(effect, state.parameter, state.index, calls); break;
      case StateTarget::VertexShader: calls.vertexShader(); break;
      case StateTarget::PixelShader:
        calls.pixelShader(state.shader);
        if (state.shader >= 0) {
          for (const SamplerBinding& binding : effect.shaders[state.shader].samplers) {
            walkSampler(effect, binding.parameter, binding.stage, calls);
          }
        }
        break;
    }
  }
}

}  // namespace swd3dx
