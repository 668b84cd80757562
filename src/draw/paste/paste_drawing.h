// The draw of every paste command that uses the device: the draw state on the
// device, then one quad, or one quad inside each pass of an effect.
#pragma once

#include "draw/quad_renderer.h"
#include "effects/effect_slots.h"

namespace tessaly {

// The draw state's blend mode, then its filters and address modes on sampler 0.
void applyDrawState(IDirect3DDevice9* device);

// The draw state, then the quad.
void pasteQuad(IDirect3DDevice9* device, IDirect3DSurface9* target, IDirect3DTexture9* texture,
               const QuadCorners& corners);

// The draw state, then the slot's technique, and the quad once inside each of
// its passes. A technique the effect refuses draws nothing (no Begin, no End);
// a Begin that fails reports no pass, and End is called all the same. The
// effect gets no parameter from here: the source reaches its shader because
// the quad renderer binds the texture to stage 0 after BeginPass.
void pasteQuadThroughEffect(IDirect3DDevice9* device, const EffectSlot& slot,
                            IDirect3DSurface9* target, IDirect3DTexture9* texture,
                            const QuadCorners& corners);

}  // namespace tessaly
