// The software Direct3D 9 device: it makes textures and surfaces in plain
// memory, keeps the bindings and fixed-function states, and fills and copies
// pixels. Ownership and reference counts follow real Direct3D 9 (see
// device_control.h).
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/device_states.h"
#include "d3d9/software_surface.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace swd3d {

class SoftwareDirect3D;
class SoftwareTexture;

class SoftwareDevice final : public IDirect3DDevice9 {
 public:
  // Checks the presentation parameters, makes the device with its back buffer
  // (and automatic depth-stencil surface if asked for) and returns it with one
  // reference.
  static HRESULT create(SoftwareDirect3D& parent, D3DPRESENT_PARAMETERS& parameters,
                        IDirect3DDevice9** device);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                          IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                          D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DTexture9** texture,
                                          HANDLE* sharedHandle) override;
  HRESULT STDMETHODCALLTYPE CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                               D3DMULTISAMPLE_TYPE multiSample,
                                               DWORD multisampleQuality, BOOL lockable,
                                               IDirect3DSurface9** surface,
                                               HANDLE* sharedHandle) override;
  HRESULT STDMETHODCALLTYPE CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                      D3DMULTISAMPLE_TYPE multiSample,
                                                      DWORD multisampleQuality, BOOL discard,
                                                      IDirect3DSurface9** surface,
                                                      HANDLE* sharedHandle) override;
  HRESULT STDMETHODCALLTYPE GetRenderTargetData(IDirect3DSurface9* renderTarget,
                                                IDirect3DSurface9* destSurface) override;
  HRESULT STDMETHODCALLTYPE ColorFill(IDirect3DSurface9* surface, const RECT* rect,
                                      D3DCOLOR color) override;
  HRESULT STDMETHODCALLTYPE CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format,
                                                        D3DPOOL pool, IDirect3DSurface9** surface,
                                                        HANDLE* sharedHandle) override;
  HRESULT STDMETHODCALLTYPE SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
  HRESULT STDMETHODCALLTYPE GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE SetDepthStencilSurface(IDirect3DSurface9* surface) override;
  HRESULT STDMETHODCALLTYPE GetDepthStencilSurface(IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT STDMETHODCALLTYPE GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags,
                                  D3DCOLOR color, float z, DWORD stencil) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT STDMETHODCALLTYPE GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                 DWORD* value) override;
  HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                 DWORD value) override;
  HRESULT STDMETHODCALLTYPE GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type,
                                            DWORD* value) override;
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type,
                                            DWORD value) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                            const void* vertexData, UINT vertexStride) override;
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD fvf) override;
  HRESULT STDMETHODCALLTYPE SetVertexShader(IDirect3DVertexShader9* shader) override;
  HRESULT STDMETHODCALLTYPE SetPixelShader(IDirect3DPixelShader9* shader) override;
  HRESULT STDMETHODCALLTYPE GetVertexShader(IDirect3DVertexShader9** shader) override;
  HRESULT STDMETHODCALLTYPE GetPixelShader(IDirect3DPixelShader9** shader) override;

  // References without the log: the program's, and the one each texture or
  // surface the program holds keeps on its device. Release may destroy the
  // device.
  ULONG addReference() { return ++references_; }
  ULONG releaseReference();

 private:
  SoftwareDevice(SoftwareDirect3D& parent, SurfaceMemory backBuffer,
                 std::optional<SurfaceMemory> depthStencil, D3DFORMAT depthStencilFormat);
  ~SoftwareDevice();

  // This device's own surface or texture behind an interface pointer, or null
  // for null and for objects made elsewhere.
  SoftwareSurface* ownSurface(IDirect3DSurface9* surface);
  SoftwareTexture* ownTexture(IDirect3DBaseTexture9* texture);

  // Makes a stand-alone surface with one reference into *surface.
  HRESULT makeSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool,
                      bool lockable, IDirect3DSurface9** surface);

  // Replaces a bound surface, moving the device's reference.
  static void rebind(SoftwareSurface*& slot, SoftwareSurface* surface);

  void clearDepthStencil(const D3DRECT* rects, DWORD rectCount, DWORD flags, float z,
                         DWORD stencil);
  // The whole of the render target, as SetRenderTarget leaves the viewport.
  void resetViewport();
  // Logs why a draw is refused (and says it on stderr).
  static void refuseDraw(const std::string& reason);

  SoftwareDirect3D& parent_;
  ULONG references_ = 1;
  UINT texturesMade_ = 0;
  UINT surfacesMade_ = 0;
  std::unique_ptr<SoftwareSurface> backBuffer_;
  std::unique_ptr<SoftwareSurface> autoDepthStencil_;
  SoftwareSurface* renderTarget_ = nullptr;
  SoftwareSurface* depthStencil_ = nullptr;
  std::array<SoftwareTexture*, kSamplerSlots> textures_{};
  DeviceStates states_;
  DWORD fvf_ = 0;
  IDirect3DVertexShader9* vertexShader_ = nullptr;
  IDirect3DPixelShader9* pixelShader_ = nullptr;
  D3DVIEWPORT9 viewport_{};
  bool inScene_ = false;
};

}  // namespace swd3d
