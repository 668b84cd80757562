#include "d3d9/software_surface.h"

#include "d3d9/call_log.h"
#include "d3d9/device_hooks.h"
#include "d3d9/interface_ids.h"
#include "d3d9/software_device.h"
#include "d3d9/software_texture.h"

#include <cstdio>
#include <utility>

namespace swd3d {

SoftwareSurface::SoftwareSurface(SoftwareDevice& device, SoftwareTexture* container,
                                 SurfaceRole role, std::string name, const D3DSURFACE_DESC& desc,
                                 bool lockable, SurfaceMemory memory)
    : device_(device),
      container_(container),
      role_(role),
      name_(std::move(name)),
      desc_(desc),
      lockable_(lockable),
      memory_(std::move(memory)) {
  if (role_ == SurfaceRole::TextureLevel) return;
  hooks::countSurfaces(+1);
  if (role_ == SurfaceRole::StandAlone) {
    references_ = 1;
    hooks::countSurfaceReferences(+1);
    device_.addReference();
  }
}

SoftwareSurface::~SoftwareSurface() {
  if (isLocked()) hooks::countLockedSurfaces(-1);
  hooks::countSurfaceReferences(-static_cast<int>(references_));
  if (role_ != SurfaceRole::TextureLevel || inUse()) hooks::countSurfaces(-1);
}

void SoftwareSurface::countUse(bool wasInUse) {
  if (role_ != SurfaceRole::TextureLevel || inUse() == wasInUse) return;
  hooks::countSurfaces(inUse() ? +1 : -1);
}

HRESULT SoftwareSurface::QueryInterface(REFIID riid, void** object) {
  logCall("QueryInterface", name_, riid);
  if (object == nullptr) return D3DERR_INVALIDCALL;
  if (!iid::oneOf(riid, {&iid::unknown, &iid::resource9, &iid::surface9})) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  addReference();
  *object = static_cast<IDirect3DSurface9*>(this);
  return S_OK;
}

ULONG SoftwareSurface::AddRef() {
  logCall("AddRef", name_);
  return addReference();
}

ULONG SoftwareSurface::Release() {
  logCall("Release", name_);
  return releaseReference();
}

ULONG SoftwareSurface::addReference() {
  const bool wasInUse = inUse();
  ++references_;
  hooks::countSurfaceReferences(+1);
  if (role_ == SurfaceRole::TextureLevel) {
    countUse(wasInUse);
    return container_->addReference();
  }
  // The program's references keep the device alive, as on a real device.
  if (references_ == 1) device_.addReference();
  return references_;
}

ULONG SoftwareSurface::releaseReference() {
  if (references_ == 0) {
    // Releasing more than was taken: a real device would corrupt its count.
    std::fprintf(stderr, "swd3d: Release of %s, on which no reference is held\n", name_.c_str());
    return 0;
  }
  const bool wasInUse = inUse();
  --references_;
  hooks::countSurfaceReferences(-1);
  const ULONG left = references_;
  switch (role_) {
    case SurfaceRole::TextureLevel:
      countUse(wasInUse);
      return container_->releaseReference();  // may destroy the texture and this surface
    case SurfaceRole::StandAlone:
      if (left == 0) {
        SoftwareDevice& device = device_;
        if (bindings_ == 0) delete this;
        device.releaseReference();
      }
      return left;
    case SurfaceRole::BackBuffer:
    case SurfaceRole::AutoDepthStencil:
      if (left == 0) device_.releaseReference();  // may destroy the device and this surface
      return left;
  }
  return left;
}

void SoftwareSurface::addBinding() {
  const bool wasInUse = inUse();
  ++bindings_;
  if (role_ != SurfaceRole::TextureLevel) return;
  countUse(wasInUse);
  container_->addBinding();
}

void SoftwareSurface::releaseBinding() {
  const bool wasInUse = inUse();
  --bindings_;
  if (role_ == SurfaceRole::TextureLevel) {
    countUse(wasInUse);
    container_->releaseBinding();  // may destroy the texture and this surface
  } else if (role_ == SurfaceRole::StandAlone && !inUse()) {
    delete this;
  }
}

HRESULT SoftwareSurface::GetDevice(IDirect3DDevice9** device) {
  logCall("GetDevice", name_);
  if (device == nullptr) return D3DERR_INVALIDCALL;
  device_.addReference();
  *device = &device_;
  return D3D_OK;
}

D3DRESOURCETYPE SoftwareSurface::GetType() {
  logCall("GetType", name_);
  return D3DRTYPE_SURFACE;
}

HRESULT SoftwareSurface::GetDesc(D3DSURFACE_DESC* desc) {
  logCall("GetDesc", name_);
  if (hooks::takeArmedFailure(Call::GetDesc) || desc == nullptr) return D3DERR_INVALIDCALL;
  *desc = desc_;
  return D3D_OK;
}

HRESULT SoftwareSurface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  logCall("LockRect", name_, rect, flags);
  if (hooks::takeArmedFailure(Call::LockRect)) {
    if (lockedRect != nullptr) *lockedRect = {};
    return D3DERR_INVALIDCALL;
  }
  return lock(lockedRect, rect);
}

HRESULT SoftwareSurface::UnlockRect() {
  logCall("UnlockRect", name_);
  if (hooks::takeArmedFailure(Call::UnlockRect)) return D3DERR_INVALIDCALL;
  return unlock();
}

HRESULT SoftwareSurface::lock(D3DLOCKED_RECT* lockedRect, const RECT* rect) {
  if (lockedRect == nullptr) return D3DERR_INVALIDCALL;
  *lockedRect = {};
  // Default-pool render targets and depth buffers stay in video memory.
  if (!lockable_ || isLocked()) return D3DERR_INVALIDCALL;
  const std::optional<SurfaceArea> area = areaOf(rect, desc_.Width, desc_.Height);
  if (!area) return D3DERR_INVALIDCALL;
  lockedArea_ = area;
  hooks::countLockedSurfaces(+1);
  lockedRect->Pitch = memory_.pitch();
  lockedRect->pBits = memory_.pixel(area->left, area->top);
  return D3D_OK;
}

HRESULT SoftwareSurface::unlock() {
  if (!isLocked()) return D3DERR_INVALIDCALL;
  const SurfaceMemory::PaddingDamage damage =
      memory_.checkAndRestorePadding(lockedArea_->top, lockedArea_->bottom);
  if (damage.rows != 0) {
    hooks::notePaddingViolation();
    std::fprintf(stderr,
                 "swd3d: UnlockRect of %s: padding past the end of row %u overwritten "
                 "(%u damaged rows in all)\n",
                 name_.c_str(), damage.firstRow, damage.rows);
  }
  lockedArea_.reset();
  hooks::countLockedSurfaces(-1);
  return D3D_OK;
}

}  // namespace swd3d
