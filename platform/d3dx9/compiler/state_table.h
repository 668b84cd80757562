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
  Shade,
  Filter,
  Address,
  TextureOp,
  TextureArg,
};

// The values of a state the software device honours.
struct Honoured {
  bool anyValue = false;
  std::uint32_t values = 0;  // bit v for value v < 32

  constexpr bool accepts(DWORD value) const {
    return anyValue || (value < 32 && ((values >> value) & 1u) != 0);
  }
};

struct StateInfo {
  std::string_view name;
  StateTarget target;
  DWORD number;  // the D3DRS_, D3DSAMP_ or D3DTSS_ number
  ValueNames values;
  Honoured honoured;             // render states, samplers, texture stage 0
  Honoured honouredLaterStages;  // texture stages 1 to 7
  bool floatValue = false;       // the value is a float's bits (MipMapLodBias)

  bool honours(DWORD value, DWORD index) const {
    return (target == StateTarget::Stage && index > 0 ? honouredLaterStages : honoured)
        .accepts(value);
  }
};

// The state a pass or sampler_state names (case does not matter), or null.
const StateInfo* findState(std::string_view name);

// The number a value name stands for among `names` (case does not matter).
std::optional<DWORD> findValue(ValueNames names, std::string_view value);

}  // namespace swd3dx
