// What the compiler makes of an effect file and the effect object runs:
// the parameters with their initial values, the compiled pixel shaders, and
// the techniques with the device states each pass sets, in the order written.
#pragma once

#include "d3d9/d3d9.h"
#include "d3dx9/compiler/shader_generator.h"
#include "d3dx9/compiler/state_table.h"
#include "d3dx9/compiler/value_type.h"
#include "d3dx9/shader/register_program.h"

#include <string>
#include <utility>
#include <vector>

namespace swd3dx {

struct CompiledParameter {
  std::string name;
  ValueType type;
  bool visible = true;  // false for a static const: no handle, not settable
  int offset = -1;      // float, vector and matrix parameters: the first of their uniform floats
  int texture = -1;     // texture parameters: their slot among the effect's textures
  // Sampler parameters: the texture parameter of their sampler_state (or -1)
  // and its other states, as (D3DSAMP_ number, value) in the order written.
  int samplerTexture = -1;
  std::vector<std::pair<DWORD, DWORD>> samplerStates;
  bool samplerStatesHonoured = true;  // by the software device
};

// One assignment of a pass, resolved to what BeginPass does with the device.
struct CompiledState {
  StateTarget target = StateTarget::Render;
  DWORD index = 0;      // sampler or stage
  DWORD number = 0;     // D3DRS_, D3DSAMP_ or D3DTSS_ number
  DWORD value = 0;
  int parameter = -1;   // Texture: the texture parameter (-1: none); SamplerBlock: the sampler
  int shader = -1;      // PixelShader: index in CompiledEffect::shaders (-1: NULL)
};

struct CompiledPass {
  std::string name;
  std::vector<CompiledState> states;
};

struct CompiledTechnique {
  std::string name;
  std::vector<CompiledPass> passes;
  // Every state it sets (its shaders' samplers' states included) is one the
  // software device honours.
  bool valid = true;
};

struct CompiledEffect {
  std::vector<CompiledParameter> parameters;  // in declaration order
  std::vector<float> uniforms;                // initial values of every parameter float
  int textureCount = 0;
  std::vector<GeneratedShader> shaders;
  std::vector<CompiledTechnique> techniques;
};

}  // namespace swd3dx
