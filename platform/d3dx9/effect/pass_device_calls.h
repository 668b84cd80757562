// The device calls a pass stands for, in the order written: BeginPass makes
// them, and Begin walks them to learn which states to save.
//
// A PixelShader assignment binds the shader, then for each sampler the
// shader reads, on that sampler's stage: the sampler's texture (if its
// sampler_state names one) and its sampler states. Sampler[n] = (s) does the
// same for sampler s on stage n.
#pragma once

#include "d3d9/d3d9.h"
#include "d3dx9/compiler/compiled_effect.h"

namespace swd3dx {

class PassCalls {
 public:
  virtual void renderState(DWORD state, DWORD value) = 0;
  virtual void samplerState(DWORD sampler, DWORD type, DWORD value) = 0;
  virtual void stageState(DWORD stage, DWORD type, DWORD value) = 0;
  virtual void texture(DWORD stage, int textureSlot) = 0;  // -1: no texture
  virtual void pixelShader(int shader) = 0;                // -1: no shader
  virtual void vertexShader() = 0;                         // always none

 protected:
  ~PassCalls() = default;
};

void walkPass(const CompiledEffect& effect, const CompiledPass& pass, PassCalls& calls);

}  // namespace swd3dx
