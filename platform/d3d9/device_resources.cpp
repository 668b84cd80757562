// The device's creation calls: textures and stand-alone surfaces, checked as a
// real device checks them.
#include "d3d9/call_log.h"
#include "d3d9/device_hooks.h"
#include "d3d9/software_device.h"
#include "d3d9/software_texture.h"
#include "d3d9/surface_formats.h"

#include <new>
#include <string>

namespace swd3d {

namespace {

bool isPool(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

// What a device reports when it has no room: video memory for the default
// pool, system memory for the others.
HRESULT outOfMemoryFor(D3DPOOL pool) {
  return pool == D3DPOOL_DEFAULT ? D3DERR_OUTOFVIDEOMEMORY : E_OUTOFMEMORY;
}

}  // namespace

HRESULT SoftwareDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                      D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                      HANDLE* sharedHandle) {
  logCall("CreateTexture", width, height, levels, usage, format, pool);
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (hooks::takeArmedFailure(Call::CreateTexture)) return E_OUTOFMEMORY;
  // Shared resources need an extended device.
  if (sharedHandle != nullptr || width == 0 || height == 0) return D3DERR_INVALIDCALL;
  if (!isColourFormat(format) || !isPool(pool)) return D3DERR_INVALIDCALL;
  // One level is all the device makes; 0 asks for a full chain, of which only
  // the top level is kept. A longer chain asked for by number is refused
  // rather than silently cut short.
  if (levels > 1) return D3DERR_INVALIDCALL;
  // Render targets live in video memory; there are no depth textures.
  if ((usage & D3DUSAGE_DEPTHSTENCIL) != 0) return D3DERR_INVALIDCALL;
  const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
  if (renderTarget && pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
  // Dynamic textures cannot be managed.
  if ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;

  std::optional<SurfaceMemory> memory = SurfaceMemory::allocate(width, height, 4);
  if (!memory) return outOfMemoryFor(pool);
  // A default-pool texture can be locked only when it is dynamic and no
  // render target.
  const bool lockable =
      pool != D3DPOOL_DEFAULT || ((usage & D3DUSAGE_DYNAMIC) != 0 && !renderTarget);
  const D3DSURFACE_DESC desc{format, D3DRTYPE_SURFACE, usage, pool, D3DMULTISAMPLE_NONE, 0,
                             width, height};
  try {
    *texture = new SoftwareTexture(*this, "tex" + std::to_string(texturesMade_ + 1), desc,
                                   lockable, std::move(*memory));
  } catch (const std::bad_alloc&) {
    return outOfMemoryFor(pool);
  }
  ++texturesMade_;
  return D3D_OK;
}

HRESULT SoftwareDevice::makeSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage,
                                    D3DPOOL pool, bool lockable, IDirect3DSurface9** surface) {
  std::optional<SurfaceMemory> memory =
      SurfaceMemory::allocate(width, height, bytesPerPixel(format));
  if (!memory) return outOfMemoryFor(pool);
  const D3DSURFACE_DESC desc{format, D3DRTYPE_SURFACE, usage, pool, D3DMULTISAMPLE_NONE, 0,
                             width, height};
  try {
    *surface = new SoftwareSurface(*this, nullptr, SurfaceRole::StandAlone,
                                   "surf" + std::to_string(surfacesMade_ + 1), desc, lockable,
                                   std::move(*memory));
  } catch (const std::bad_alloc&) {
    return outOfMemoryFor(pool);
  }
  ++surfacesMade_;
  return D3D_OK;
}

HRESULT SoftwareDevice::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                           D3DMULTISAMPLE_TYPE multiSample,
                                           DWORD multisampleQuality, BOOL lockable,
                                           IDirect3DSurface9** surface, HANDLE* sharedHandle) {
  logCall("CreateRenderTarget", width, height, format, multiSample, multisampleQuality,
          lockable);
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (sharedHandle != nullptr || width == 0 || height == 0 || !isColourFormat(format)) {
    return D3DERR_INVALIDCALL;
  }
  if (multiSample != D3DMULTISAMPLE_NONE || multisampleQuality != 0) return D3DERR_INVALIDCALL;
  // Unlike render-target textures, a render-target surface may be made
  // lockable.
  return makeSurface(width, height, format, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                     lockable != FALSE, surface);
}

HRESULT SoftwareDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                  D3DMULTISAMPLE_TYPE multiSample,
                                                  DWORD multisampleQuality, BOOL discard,
                                                  IDirect3DSurface9** surface,
                                                  HANDLE* sharedHandle) {
  logCall("CreateDepthStencilSurface", width, height, format, multiSample, multisampleQuality,
          discard);
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (sharedHandle != nullptr || width == 0 || height == 0 || !isDepthStencilFormat(format)) {
    return D3DERR_INVALIDCALL;
  }
  if (multiSample != D3DMULTISAMPLE_NONE || multisampleQuality != 0) return D3DERR_INVALIDCALL;
  return makeSurface(width, height, format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, false,
                     surface);
}

HRESULT SoftwareDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format,
                                                    D3DPOOL pool, IDirect3DSurface9** surface,
                                                    HANDLE* sharedHandle) {
  logCall("CreateOffscreenPlainSurface", width, height, format, pool);
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (hooks::takeArmedFailure(Call::CreateOffscreenPlainSurface)) return E_OUTOFMEMORY;
  if (sharedHandle != nullptr || width == 0 || height == 0 || !isColourFormat(format)) {
    return D3DERR_INVALIDCALL;
  }
  // Off-screen plain surfaces are never managed.
  if (!isPool(pool) || pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  return makeSurface(width, height, format, 0, pool, true, surface);
}

}  // namespace swd3d
