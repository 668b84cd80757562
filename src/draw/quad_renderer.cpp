#include "draw/quad_renderer.h"

#include "host/host_link.h"

#include <cstddef>

namespace tessaly {

std::array<QuadVertex, 4> quadVertices = {{
    {0, 0, 0, 1, 0, 0, 0},
    {0, 0, 0, 1, 0, 0, 0},
    {0, 0, 0, 1, 0, 0, 0},
    {0, 0, 0, 1, 0, 0, 0},
}};

QuadCorners imageCorners(float left, float top, float right, float bottom, D3DCOLOR colour) {
  return {{{left, top, colour, 0, 0},
           {right, top, colour, 1, 0},
           {right, bottom, colour, 1, 1},
           {left, bottom, colour, 0, 1}}};
}

namespace {

// Pixel centres lie on integer coordinates: shifting every corner by half a
// pixel makes a W x H quad at (X, Y) cover exactly pixels X..X+W-1, Y..Y+H-1
// with texel centres on pixel centres.
void fillVertices(const QuadCorners& corners) {
  for (std::size_t i = 0; i < corners.size(); ++i) {
    QuadVertex& vertex = quadVertices[i];
    vertex.x = corners[i].x - 0.5f;
    vertex.y = corners[i].y - 0.5f;
    vertex.z = 0.0f;
    vertex.diffuse = corners[i].colour;
    vertex.u = corners[i].u;
    vertex.v = corners[i].v;
  }
}

void setDrawingStates(IDirect3DDevice9* device, IDirect3DTexture9* texture) {
  device->SetTexture(0, texture);
  device->SetDepthStencilSurface(nullptr);
  device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_FOGENABLE, FALSE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  // The texel times the corner colour, for colour and alpha alike.
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

void restoreHostSurfaces(IDirect3DDevice9* device) {
  device->SetRenderTarget(0, hostScreenSurface());
  device->SetDepthStencilSurface(hostScreenDepthSurface());
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
}

}  // namespace

void drawQuad(IDirect3DDevice9* device, IDirect3DSurface9* target, IDirect3DTexture9* texture,
              const QuadCorners& corners) {
  if (SUCCEEDED(device->SetRenderTarget(0, target))) {
    setDrawingStates(device, texture);
    fillVertices(corners);
    device->SetFVF(kQuadVertexFormat);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quadVertices.data(), sizeof(QuadVertex));
  }
  restoreHostSurfaces(device);
}

}  // namespace tessaly
