// The fixed-function state of a device: render states, sampler states per
// sampler and texture-stage states per stage, stored by number and starting
// from the values Direct3D 9 documents.
#pragma once

#include "d3d9/d3d9.h"

#include <array>
#include <optional>

namespace swd3d {

// Samplers (and texture bindings) 0-15, then the displacement-map sampler and
// the four vertex samplers numbered 256-260: 21 slots in all.
inline constexpr DWORD kSamplerSlots = 21;
// The slot of a sampler number, or nothing for a number the device lacks.
std::optional<DWORD> samplerSlot(DWORD sampler);

class DeviceStates {
 public:
  // Depth testing starts enabled when the device has an automatic
  // depth-stencil surface.
  explicit DeviceStates(bool autoDepthStencil);

  // The stored value, or null for a number the device does not have.
  DWORD* renderState(DWORD state);
  DWORD* samplerState(DWORD sampler, DWORD type);
  DWORD* stageState(DWORD stage, DWORD type);

  // Stored values by number, for numbers the device has: what a draw reads.
  DWORD render(D3DRENDERSTATETYPE state) const { return render_[state]; }
  DWORD sampler(DWORD slot, D3DSAMPLERSTATETYPE type) const { return sampler_[slot][type]; }
  DWORD stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const { return stage_[stage][type]; }

 private:
  // Render states are numbered up to D3DRS_BLENDOPALPHA.
  static constexpr DWORD kRenderStates = D3DRS_BLENDOPALPHA + 1;
  static constexpr DWORD kSamplerStates = D3DSAMP_DMAPOFFSET + 1;
  static constexpr DWORD kStages = 8;
  static constexpr DWORD kStageStates = 33;  // up to D3DTSS_CONSTANT (32)

  std::array<DWORD, kRenderStates> render_{};
  std::array<std::array<DWORD, kSamplerStates>, kSamplerSlots> sampler_{};
  std::array<std::array<DWORD, kStageStates>, kStages> stage_{};
};

}  // namespace swd3d
