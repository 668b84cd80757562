#include "draw/paste/paste_drawing.h"

#include "draw/blend_modes.h"
#include "draw/draw_state.h"
#include "draw/sampler_states.h"

namespace tessaly {

void applyDrawState(IDirect3DDevice9* device) {
  applyBlendMode(device, drawState.blendMode);
  applySamplerStates(device, drawState.minFilter, drawState.magFilter, drawState.mipFilter,
                     drawState.addressU, drawState.addressV);
}

void pasteQuad(IDirect3DDevice9* device, IDirect3DSurface9* target, IDirect3DTexture9* texture,
               const QuadCorners& corners) {
  applyDrawState(device);
  drawQuad(device, target, texture, corners);
}

void pasteQuadThroughEffect(IDirect3DDevice9* device, const EffectSlot& slot,
                            IDirect3DSurface9* target, IDirect3DTexture9* texture,
                            const QuadCorners& corners) {
  applyDrawState(device);
  ID3DXEffect* effect = slot.effect;
  if (FAILED(effect->SetTechnique(slot.technique))) return;
  UINT passes = 0;  // stays 0 when Begin fails
  effect->Begin(&passes, 0);
  for (UINT pass = 0; pass < passes; ++pass) {
    effect->BeginPass(pass);
    drawQuad(device, target, texture, corners);
    effect->EndPass();
  }
  effect->End();
}

}  // namespace tessaly
