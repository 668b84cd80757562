// The quad renderer: every command that puts an image onto a render target or
// the screen ends in one textured quad drawn here, after which the host's own
// screen surface and depth-stencil surface are bound again.
#pragma once

#include "host/d3d9_api.h"

#include <array>

namespace tessaly {

// One vertex as Direct3D reads it: pretransformed position, colour, one
// texture coordinate pair, fields back to back.
struct QuadVertex {
  float x;
  float y;
  float z;
  float rhw;
  D3DCOLOR diffuse;
  float u;
  float v;
};
static_assert(sizeof(QuadVertex) == 28, "the vertex layout Direct3D is told about");

inline constexpr DWORD kQuadVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A corner as callers give it: pixel coordinates (before the half-pixel
// shift), a colour that multiplies the texel, and texture coordinates.
struct QuadCorner {
  float x;
  float y;
  D3DCOLOR colour;
  float u;
  float v;
};
// In order round the quad's edge: for an unrotated image top-left, top-right,
// bottom-right, bottom-left.
using QuadCorners = std::array<QuadCorner, 4>;

inline constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;

// The whole texture from (left, top) to (right, bottom), every corner in the
// given colour: the texture's own colours when that is opaque white.
QuadCorners imageCorners(float left, float top, float right, float bottom,
                         D3DCOLOR colour = kOpaqueWhite);

// The four vertices every draw fills again; rhw holds 1 from load.
extern std::array<QuadVertex, 4> quadVertices;

// Draws the texture as two triangles of a fan into target, with the blend and
// sampler states the caller set, then binds the host's screen surfaces again
// and leaves alpha blending off, the blend operation add and depth testing on.
// When the target cannot be bound, nothing is drawn: the quad would otherwise
// land on whatever surface the device still has.
void drawQuad(IDirect3DDevice9* device, IDirect3DSurface9* target, IDirect3DTexture9* texture,
              const QuadCorners& corners);

}  // namespace tessaly
