#include "d3dx9/effect/saved_device_state.h"

#include "d3dx9/d3dx9.h"
#include "d3dx9/effect/pass_device_calls.h"

#include <set>

namespace swd3dx {

namespace {

// Which states the passes touch, each once, in a fixed order.
struct Footprint final : PassCalls {
  std::set<DWORD> render;
  std::set<std::pair<DWORD, DWORD>> sampler;
  std::set<std::pair<DWORD, DWORD>> stage;
  std::set<DWORD> textures;
  bool pixelShaderSet = false;
  bool vertexShaderSet = false;

  void renderState(DWORD state, DWORD) override { render.insert(state); }
  void samplerState(DWORD index, DWORD type, DWORD) override { sampler.insert({index, type}); }
  void stageState(DWORD index, DWORD type, DWORD) override { stage.insert({index, type}); }
  void texture(DWORD index, int) override { textures.insert(index); }
  void pixelShader(int) override { pixelShaderSet = true; }
  void vertexShader() override { vertexShaderSet = true; }
};

}  // namespace

void SavedDeviceState::capture(IDirect3DDevice9& device, const CompiledEffect& effect,
                               const CompiledTechnique& technique, DWORD flags) {
  discard();
  if ((flags & D3DXFX_DONOTSAVESTATE) != 0) return;
  Footprint footprint;
  for (const CompiledPass& pass : technique.passes) walkPass(effect, pass, footprint);

  if ((flags & D3DXFX_DONOTSAVESHADERSTATE) == 0) {
    pixelShaderSaved_ = footprint.pixelShaderSet && SUCCEEDED(device.GetPixelShader(&pixelShader_));
    vertexShaderSaved_ = footprint.vertexShaderSet && SUCCEEDED(device.GetVertexShader(&vertexShader_));
  }
  if ((flags & D3DXFX_DONOTSAVESAMPLERSTATE) == 0) {
    for (DWORD stage : footprint.textures) {
      IDirect3DBaseTexture9* texture = nullptr;
      if (SUCCEEDED(device.GetTexture(stage, &texture))) textures_.emplace_back(stage, texture);
    }
    for (const auto& [index, type] : footprint.sampler) {
      DWORD value = 0;
      if (SUCCEEDED(device.GetSamplerState(index, static_cast<D3DSAMPLERSTATETYPE>(type), &value))) {
        sampler_.push_back({index, type, value});
      }
    }
  }
  for (const auto& [index, type] : footprint.stage) {
    DWORD value = 0;
    if (SUCCEEDED(device.GetTextureStageState(index, static_cast<D3DTEXTURESTAGESTATETYPE>(type),
                                              &value))) {
      stage_.push_back({index, type, value});
    }
  }
  for (DWORD state : footprint.render) {
    DWORD value = 0;
    if (SUCCEEDED(device.GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value))) {
      render_.emplace_back(state, value);
    }
  }
}

void SavedDeviceState::restore(IDirect3DDevice9& device) {
  if (pixelShaderSaved_) device.SetPixelShader(pixelShader_);
  if (vertexShaderSaved_) device.SetVertexShader(vertexShader_);
  for (const auto& [stage, texture] : textures_) device.SetTexture(stage, texture);
  for (const Triple& s : sampler_) {
    device.SetSamplerState(s.index, static_cast<D3DSAMPLERSTATETYPE>(s.type), s.value);
  }
  for (const Triple& s : stage_) {
    device.SetTextureStageState(s.index, static_cast<D3DTEXTURESTAGESTATETYPE>(s.type), s.value);
  }
  for (const auto& [state, value] : render_) {
    device.SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
  }
  discard();
}

void SavedDeviceState::discard() {
  if (pixelShader_ != nullptr) pixelShader_->Release();
  if (vertexShader_ != nullptr) vertexShader_->Release();
  for (const auto& [stage, texture] : textures_) {
    if (texture != nullptr) texture->Release();
  }
  pixelShader_ = nullptr;
  vertexShader_ = nullptr;
  pixelShaderSaved_ = vertexShaderSaved_ = false;
  textures_.clear();
  sampler_.clear();
  stage_.clear();
  render_.clear();
}

}  // namespace swd3dx
