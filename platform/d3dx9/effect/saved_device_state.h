// The device states a technique's passes set, read at Begin and put back at
// End, so that an effect leaves the device as it found it (unless Begin was
// told not to save).
#pragma once

#include "d3d9/d3d9.h"
#include "d3dx9/compiler/compiled_effect.h"

#include <utility>
#include <vector>

namespace swd3dx {

class SavedDeviceState {
 public:
  SavedDeviceState() = default;
  ~SavedDeviceState() { discard(); }
  SavedDeviceState(const SavedDeviceState&) = delete;
  SavedDeviceState& operator=(const SavedDeviceState&) = delete;

  // Reads each state any pass of the technique sets, once. D3DXFX_ flags:
  // DONOTSAVESTATE saves nothing, DONOTSAVESHADERSTATE leaves out the
  // shaders, DONOTSAVESAMPLERSTATE the sampler states and textures.
  void capture(IDirect3DDevice9& device, const CompiledEffect& effect,
               const CompiledTechnique& technique, DWORD flags);
  // Sets every saved state back, then holds nothing.
  void restore(IDirect3DDevice9& device);
  // Lets the saved states go without setting them.
  void discard();

 private:
  struct Triple {
    DWORD index;
    DWORD type;
    DWORD value;
  };
  std::vector<std::pair<DWORD, DWORD>> render_;
  std::vector<Triple> sampler_;
  std::vector<Triple> stage_;
  std::vector<std::pair<DWORD, IDirect3DBaseTexture9*>> textures_;  // each holds a reference
  bool pixelShaderSaved_ = false;
  IDirect3DPixelShader9* pixelShader_ = nullptr;  // a reference
  bool vertexShaderSaved_ = false;
  IDirect3DVertexShader9* vertexShader_ = nullptr;  // a reference
};

}  // namespace swd3dx
