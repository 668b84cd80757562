// A surface of the software device: a texture's level, a stand-alone surface
// or one of the device's own (back buffer, automatic depth-stencil surface).
// Its role decides whose lifetime it shares (see device_control.h).
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/surface_memory.h"

#include <optional>
#include <string>

namespace swd3d {

class SoftwareDevice;
class SoftwareTexture;

enum class SurfaceRole {
  StandAlone,        // lives while referenced or bound
  TextureLevel,      // lives as long as its texture; references go to the texture
  BackBuffer,        // lives as long as its device
  AutoDepthStencil,  // lives as long as its device
};

class SoftwareSurface final : public IDirect3DSurface9 {
 public:
  // A stand-alone surface starts with the creator's one reference; the others
  // start with none.
  SoftwareSurface(SoftwareDevice& device, SoftwareTexture* container, SurfaceRole role,
                  std::string name, const D3DSURFACE_DESC& desc, bool lockable,
                  SurfaceMemory memory);
  ~SoftwareSurface();
  SoftwareSurface(const SoftwareSurface&) = delete;
  SoftwareSurface& operator=(const SoftwareSurface&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override;
  HRESULT STDMETHODCALLTYPE GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect() override;

  // A reference the program takes or gives back (AddRef and Release without
  // the log); for a texture level the texture's count is returned. Release may
  // destroy this surface.
  ULONG addReference();
  ULONG releaseReference();
  // A reference the device holds while the surface is bound; releasing may
  // destroy this surface.
  void addBinding();
  void releaseBinding();

  // Lock and unlock without the log and armed failures, for the texture.
  HRESULT lock(D3DLOCKED_RECT* lockedRect, const RECT* rect);
  HRESULT unlock();

  SoftwareDevice& device() const { return device_; }
  const D3DSURFACE_DESC& desc() const { return desc_; }
  const std::string& name() const { return name_; }
  SurfaceRole role() const { return role_; }
  bool isLocked() const { return lockedArea_.has_value(); }
  SurfaceMemory& memory() { return memory_; }
  const SurfaceMemory& memory() const { return memory_; }

 private:
  bool inUse() const { return references_ + bindings_ > 0; }
  // A texture level counts as a live surface only while it is in use.
  void countUse(bool wasInUse);

  SoftwareDevice& device_;
  SoftwareTexture* container_;
  SurfaceRole role_;
  std::string name_;
  D3DSURFACE_DESC desc_;
  bool lockable_;
  SurfaceMemory memory_;
  ULONG references_ = 0;
  ULONG bindings_ = 0;
  std::optional<SurfaceArea> lockedArea_;
};

}  // namespace swd3d
