// The states a pass or a sampler_state block may set: their names as effect
// files write them, the Direct3D 9 state they stand for, the names of their
// values, and which values the software device honours. A technique that
// sets a value outside that set compiles but does not validate.
#pragma once

#include "d3d9/d3d9.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace swd3dx {

enum class StateTarget : std::uint8_t {
  Render,        // SetRenderState(number, value)
  Sampler,       // SetSamplerState(index, number, value)
  Stage,         // SetTextureStageState(index, number, value)
  Texture,       // SetTexture(index, <texture parameter>)
  SamplerBlock,  // Sampler[index] = (sampler): that sampler's texture and states on stage index
  PixelShader,   // compile ps_... f() or NULL
  VertexShader,  // NULL only
};

enum class ValueNames : std::uint8_t {
  None,  // numbers only
  Bool,
  Blend,
  BlendOp,
  Cull,
  Compare,
  Fill,
  Filter,
  Address,
  TextureOp,
  TextureArg,
};

struct StateInfo {
  std::string_view name;
  StateTarget target;
  DWORD number;  // the D3DRS_, D3DSAMP_ or D3DTSS_ number
  ValueNames values;
  bool floatValue;  // the value is a float's bits (MipMapLodBias)
  // Values the software device honours: bit v of `honoured` for v < 32, or
  // every value when `anyValue`.
  bool anyValue;
  std::uint32_t honoured;

  bool honours(DWORD value) const {
    return anyValue || (value < 32 && ((honoured >> value) & 1u) != 0);
  }
};

// The state a pass or sampler_state names (case does not matter), or null.
const StateInfo* findState(std::string_view name);

// The number a value name stands for among `names` (case does not matter).
std::optional<DWORD> findValue(ValueNames names, std::string_view value);

}  // namespace swd3dx
