#include "d3d9/software_texture.h"

#include "d3d9/call_log.h"
#include "d3d9/device_hooks.h"
#include "d3d9/interface_ids.h"
#include "d3d9/software_device.h"

#include <cstdio>
#include <utility>

namespace swd3d {

SoftwareTexture::SoftwareTexture(SoftwareDevice& device, std::string name,
                                 const D3DSURFACE_DESC& levelDesc, bool lockable,
                                 SurfaceMemory memory)
    : device_(device),
      name_(std::move(name)),
      level0_(std::make_unique<SoftwareSurface>(device, this, SurfaceRole::TextureLevel,
                                                name_ + ".level0", levelDesc, lockable,
                                                std::move(memory))) {
  hooks::countTextures(+1);
  device_.addReference();
}

SoftwareTexture::~SoftwareTexture() { hooks::countTextures(-1); }

HRESULT SoftwareTexture::QueryInterface(REFIID riid, void** object) {
  logCall("QueryInterface", name_, riid);
  if (object == nullptr) return D3DERR_INVALIDCALL;
  if (!iid::oneOf(riid, {&iid::unknown, &iid::resource9, &iid::baseTexture9, &iid::texture9})) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  addReference();
  *object = static_cast<IDirect3DTexture9*>(this);
  return S_OK;
}

ULONG SoftwareTexture::AddRef() {
  logCall("AddRef", name_);
  return addReference();
}

ULONG SoftwareTexture::Release() {
  logCall("Release", name_);
  return releaseReference();
}

ULONG SoftwareTexture::addReference() {
  // The program's references keep the device alive, as on a real device.
  if (++references_ == 1) device_.addReference();
  return references_;
}

ULONG SoftwareTexture::releaseReference() {
  if (references_ == 0) {
    // Releasing more than was taken: a real device would corrupt its count.
    std::fprintf(stderr, "swd3d: Release of %s, on which no reference is held\n", name_.c_str());
    return 0;
  }
  const ULONG left = --references_;
  if (left == 0) {
    SoftwareDevice& device = device_;
    if (bindings_ == 0) delete this;
    device.releaseReference();
  }
  return left;
}

void SoftwareTexture::addBinding() { ++bindings_; }

void SoftwareTexture::releaseBinding() {
  if (--bindings_ == 0 && references_ == 0) delete this;
}

HRESULT SoftwareTexture::GetDevice(IDirect3DDevice9** device) {
  logCall("GetDevice", name_);
  if (device == nullptr) return D3DERR_INVALIDCALL;
  device_.addReference();
  *device = &device_;
  return D3D_OK;
}

D3DRESOURCETYPE SoftwareTexture::GetType() {
  logCall("GetType", name_);
  return D3DRTYPE_TEXTURE;
}

DWORD SoftwareTexture::GetLevelCount() {
  logCall("GetLevelCount", name_);
  return 1;
}

HRESULT SoftwareTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  logCall("GetLevelDesc", name_, level);
  if (level != 0 || desc == nullptr) return D3DERR_INVALIDCALL;
  *desc = level0_->desc();
  return D3D_OK;
}

HRESULT SoftwareTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  logCall("GetSurfaceLevel", name_, level);
  if (surface == nullptr) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (hooks::takeArmedFailure(Call::GetSurfaceLevel) || level != 0) return D3DERR_INVALIDCALL;
  level0_->addReference();
  *surface = level0_.get();
  return D3D_OK;
}

HRESULT SoftwareTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                  DWORD flags) {
  logCall("LockRect", name_, level, rect, flags);
  if (hooks::takeArmedFailure(Call::LockRect) || level != 0) {
    if (lockedRect != nullptr) *lockedRect = {};
    return D3DERR_INVALIDCALL;
  }
  return level0_->lock(lockedRect, rect);
}

HRESULT SoftwareTexture::UnlockRect(UINT level) {
  logCall("UnlockRect", name_, level);
  if (hooks::takeArmedFailure(Call::UnlockRect) || level != 0) return D3DERR_INVALIDCALL;
  return level0_->unlock();
}

}  // namespace swd3d
