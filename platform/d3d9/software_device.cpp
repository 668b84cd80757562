#include "d3d9/software_device.h"

#include "d3d9/call_log.h"
#include "d3d9/device_hooks.h"
#include "d3d9/interface_ids.h"
#include "d3d9/software_direct3d.h"
#include "d3d9/software_texture.h"
#include "d3d9/surface_formats.h"

#include <cstdint>
#include <new>
#include <utility>

namespace swd3d {

namespace {

D3DSURFACE_DESC deviceSurfaceDesc(D3DFORMAT format, DWORD usage, UINT width, UINT height) {
  return {format, D3DRTYPE_SURFACE, usage, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0, width, height};
}

}  // namespace

HRESULT SoftwareDevice::create(SoftwareDirect3D& parent, D3DPRESENT_PARAMETERS& parameters,
                               IDirect3DDevice9** device) {
  const UINT width = parameters.BackBufferWidth;
  const UINT height = parameters.BackBufferHeight;
  // There is no window whose size a zero could stand for.
  if (width == 0 || height == 0) return D3DERR_INVALIDCALL;
  // The back buffer is always A8R8G8B8, with no multisampling.
  if (parameters.BackBufferFormat != D3DFMT_UNKNOWN &&
      parameters.BackBufferFormat != D3DFMT_A8R8G8B8) {
    return D3DERR_NOTAVAILABLE;
  }
  if (parameters.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  // One back buffer; like a real device, say how many it would make.
  if (parameters.BackBufferCount > 1) {
    parameters.BackBufferCount = 1;
    return D3DERR_INVALIDCALL;
  }
  const bool autoDepthStencil = parameters.EnableAutoDepthStencil != FALSE;
  if (autoDepthStencil && !isDepthStencilFormat(parameters.AutoDepthStencilFormat)) {
    return D3DERR_INVALIDCALL;
  }

  std::optional<SurfaceMemory> backBuffer = SurfaceMemory::allocate(width, height, 4);
  if (!backBuffer) return D3DERR_OUTOFVIDEOMEMORY;
  std::optional<SurfaceMemory> depthStencil;
  if (autoDepthStencil) {
    depthStencil = SurfaceMemory::allocate(width, height,
                                           bytesPerPixel(parameters.AutoDepthStencilFormat));
    if (!depthStencil) return D3DERR_OUTOFVIDEOMEMORY;
  }
  try {
    *device = new SoftwareDevice(parent, std::move(*backBuffer), std::move(depthStencil),
                                 parameters.AutoDepthStencilFormat);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  parameters.BackBufferCount = 1;
  parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  return D3D_OK;
}

SoftwareDevice::SoftwareDevice(SoftwareDirect3D& parent, SurfaceMemory backBuffer,
                               std::optional<SurfaceMemory> depthStencil,
                               D3DFORMAT depthStencilFormat)
    : parent_(parent), states_(depthStencil.has_value()) {
  const UINT width = backBuffer.width();
  const UINT height = backBuffer.height();
  // The back buffer is never lockable, whatever the presentation flags say.
  backBuffer_ = std::make_unique<SoftwareSurface>(
      *this, nullptr, SurfaceRole::BackBuffer, "backbuffer",
      deviceSurfaceDesc(D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET, width, height), false,
      std::move(backBuffer));
  if (depthStencil) {
    autoDepthStencil_ = std::make_unique<SoftwareSurface>(
        *this, nullptr, SurfaceRole::AutoDepthStencil, "depthstencil",
        deviceSurfaceDesc(depthStencilFormat, D3DUSAGE_DEPTHSTENCIL, width, height), false,
        std::move(*depthStencil));
  }
  rebind(renderTarget_, backBuffer_.get());
  rebind(depthStencil_, autoDepthStencil_.get());
  resetViewport();
  parent_.addReference();
  hooks::countDevices(+1);
}

SoftwareDevice::~SoftwareDevice() {
  // Only bindings are left: every object the program still held would have
  // kept the device alive. Letting them go destroys what they alone kept.
  for (SoftwareTexture*& texture : textures_) {
    if (texture != nullptr) std::exchange(texture, nullptr)->releaseBinding();
  }
  rebind(renderTarget_, nullptr);
  rebind(depthStencil_, nullptr);
  if (vertexShader_ != nullptr) vertexShader_->Release();
  if (pixelShader_ != nullptr) pixelShader_->Release();
  autoDepthStencil_.reset();
  backBuffer_.reset();
  hooks::countDevices(-1);
  parent_.releaseReference();
}

ULONG SoftwareDevice::releaseReference() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

void SoftwareDevice::rebind(SoftwareSurface*& slot, SoftwareSurface* surface) {
  if (surface != nullptr) surface->addBinding();
  SoftwareSurface* previous = std::exchange(slot, surface);
  if (previous != nullptr) previous->releaseBinding();
}

SoftwareSurface* SoftwareDevice::ownSurface(IDirect3DSurface9* surface) {
  auto* own = dynamic_cast<SoftwareSurface*>(surface);
  return own != nullptr && &own->device() == this ? own : nullptr;
}

SoftwareTexture* SoftwareDevice::ownTexture(IDirect3DBaseTexture9* texture) {
  auto* own = dynamic_cast<SoftwareTexture*>(texture);
  return own != nullptr && &own->device() == this ? own : nullptr;
}

HRESULT SoftwareDevice::QueryInterface(REFIID riid, void** object) {
  logCall("QueryInterface", "device", riid);
  if (object == nullptr) return D3DERR_INVALIDCALL;
  if (!iid::oneOf(riid, {&iid::unknown, &iid::device9})) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  addReference();
  *object = static_cast<IDirect3DDevice9*>(this);
  return S_OK;
}

ULONG SoftwareDevice::AddRef() {
  logCall("AddRef", "device");
  return addReference();
}

ULONG SoftwareDevice::Release() {
  logCall("Release", "device");
  return releaseReference();
}

HRESULT SoftwareDevice::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                      IDirect3DSurface9** surface) {
  logCall("GetBackBuffer", swapChain, backBuffer, type);
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (swapChain != 0 || backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO) {
    return D3DERR_INVALIDCALL;
  }
  backBuffer_->addReference();
  *surface = backBuffer_.get();
  return D3D_OK;
}

HRESULT SoftwareDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
  logCall("SetRenderTarget", index, surface);
  if (hooks::takeArmedFailure(Call::SetRenderTarget)) return D3DERR_INVALIDCALL;
  // One render target; it cannot be unset.
  SoftwareSurface* own = ownSurface(surface);
  if (index != 0 || own == nullptr || (own->desc().Usage & D3DUSAGE_RENDERTARGET) == 0) {
    return D3DERR_INVALIDCALL;
  }
  rebind(renderTarget_, own);
  resetViewport();
  return D3D_OK;
}

void SoftwareDevice::resetViewport() {
  const D3DSURFACE_DESC& desc = renderTarget_->desc();
  viewport_ = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
}

HRESULT SoftwareDevice::SetViewport(const D3DVIEWPORT9* viewport) {
  if (viewport == nullptr) {
    logCall("SetViewport", "null");
    return D3DERR_INVALIDCALL;
  }
  logCall("SetViewport", viewport->X, viewport->Y, viewport->Width, viewport->Height,
          viewport->MinZ, viewport->MaxZ);
  // The viewport lies within the render target, its depth range within [0, 1].
  const D3DSURFACE_DESC& desc = renderTarget_->desc();
  const bool inside = std::uint64_t{viewport->X} + viewport->Width <= desc.Width &&
                      std::uint64_t{viewport->Y} + viewport->Height <= desc.Height;
  const bool depthRange = viewport->MinZ >= 0.0f && viewport->MaxZ <= 1.0f &&
                          viewport->MinZ <= viewport->MaxZ;  // NaN fails
  if (!inside || !depthRange) return D3DERR_INVALIDCALL;
  viewport_ = *viewport;
  return D3D_OK;
}

HRESULT SoftwareDevice::GetViewport(D3DVIEWPORT9* viewport) {
  logCall("GetViewport");
  if (viewport == nullptr) return D3DERR_INVALIDCALL;
  *viewport = viewport_;
  return D3D_OK;
}

HRESULT SoftwareDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
  logCall("GetRenderTarget", index);
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (index != 0) return D3DERR_INVALIDCALL;
  renderTarget_->addReference();
  *surface = renderTarget_;
  return D3D_OK;
}

HRESULT SoftwareDevice::SetDepthStencilSurface(IDirect3DSurface9* surface) {
  logCall("SetDepthStencilSurface", surface);
  SoftwareSurface* own = ownSurface(surface);
  if (surface != nullptr &&
      (own == nullptr || (own->desc().Usage & D3DUSAGE_DEPTHSTENCIL) == 0)) {
    return D3DERR_INVALIDCALL;
  }
  rebind(depthStencil_, own);
  return D3D_OK;
}

HRESULT SoftwareDevice::GetDepthStencilSurface(IDirect3DSurface9** surface) {
  logCall("GetDepthStencilSurface");
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (depthStencil_ == nullptr) return D3DERR_NOTFOUND;
  depthStencil_->addReference();
  *surface = depthStencil_;
  return D3D_OK;
}

HRESULT SoftwareDevice::BeginScene() {
  logCall("BeginScene");
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT SoftwareDevice::EndScene() {
  logCall("EndScene");
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT SoftwareDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  logCall("SetRenderState", state, value);
  DWORD* stored = states_.renderState(state);
  if (stored == nullptr) return D3DERR_INVALIDCALL;
  *stored = value;
  return D3D_OK;
}

HRESULT SoftwareDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  logCall("GetRenderState", state);
  const DWORD* stored = states_.renderState(state);
  if (stored == nullptr || value == nullptr) return D3DERR_INVALIDCALL;
  *value = *stored;
  return D3D_OK;
}

HRESULT SoftwareDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  logCall("GetTexture", stage);
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  const std::optional<DWORD> slot = samplerSlot(stage);
  if (!slot) return D3DERR_INVALIDCALL;
  SoftwareTexture* bound = textures_[*slot];
  if (bound != nullptr) {
    bound->addReference();
    *texture = bound;
  }
  return D3D_OK;
}

HRESULT SoftwareDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  logCall("SetTexture", stage, texture);
  const std::optional<DWORD> slot = samplerSlot(stage);
  SoftwareTexture* own = ownTexture(texture);
  if (!slot || (texture != nullptr && own == nullptr)) return D3DERR_INVALIDCALL;
  // The device holds a reference to what it has bound.
  if (own != nullptr) own->addBinding();
  SoftwareTexture* previous = std::exchange(textures_[*slot], own);
  if (previous != nullptr) previous->releaseBinding();
  return D3D_OK;
}

HRESULT SoftwareDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                             DWORD* value) {
  logCall("GetTextureStageState", stage, type);
  const DWORD* stored = states_.stageState(stage, type);
  if (stored == nullptr || value == nullptr) return D3DERR_INVALIDCALL;
  *value = *stored;
  return D3D_OK;
}

HRESULT SoftwareDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                             DWORD value) {
  logCall("SetTextureStageState", stage, type, value);
  DWORD* stored = states_.stageState(stage, type);
  if (stored == nullptr) return D3DERR_INVALIDCALL;
  *stored = value;
  return D3D_OK;
}

HRESULT SoftwareDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  logCall("GetSamplerState", sampler, type);
  const DWORD* stored = states_.samplerState(sampler, type);
  if (stored == nullptr || value == nullptr) return D3DERR_INVALIDCALL;
  *value = *stored;
  return D3D_OK;
}

HRESULT SoftwareDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  logCall("SetSamplerState", sampler, type, value);
  DWORD* stored = states_.samplerState(sampler, type);
  if (stored == nullptr) return D3DERR_INVALIDCALL;
  *stored = value;
  return D3D_OK;
}

HRESULT SoftwareDevice::SetFVF(DWORD fvf) {
  logCall("SetFVF", fvf);
  fvf_ = fvf;
  return D3D_OK;
}

HRESULT SoftwareDevice::SetVertexShader(IDirect3DVertexShader9* shader) {
  logCall("SetVertexShader", shader);
  if (shader != nullptr) shader->AddRef();
  IDirect3DVertexShader9* previous = std::exchange(vertexShader_, shader);
  if (previous != nullptr) previous->Release();
  return D3D_OK;
}

HRESULT SoftwareDevice::SetPixelShader(IDirect3DPixelShader9* shader) {
  logCall("SetPixelShader", shader);
  if (shader != nullptr) shader->AddRef();
  IDirect3DPixelShader9* previous = std::exchange(pixelShader_, shader);
  if (previous != nullptr) previous->Release();
  return D3D_OK;
}

// The bound shader, with a reference for the caller (null when none is bound).
HRESULT SoftwareDevice::GetVertexShader(IDirect3DVertexShader9** shader) {
  logCall("GetVertexShader");
  if (shader == nullptr) return D3DERR_INVALIDCALL;
  if (vertexShader_ != nullptr) vertexShader_->AddRef();
  *shader = vertexShader_;
  return D3D_OK;
}

HRESULT SoftwareDevice::GetPixelShader(IDirect3DPixelShader9** shader) {
  logCall("GetPixelShader");
  if (shader == nullptr) return D3DERR_INVALIDCALL;
  if (pixelShader_ != nullptr) pixelShader_->AddRef();
  *shader = pixelShader_;
  return D3D_OK;
}

}  // namespace swd3d
