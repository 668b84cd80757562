// A texture of the software device: one level, whose surface holds the
// pixels. The level surface shares the texture's lifetime.
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/software_surface.h"

#include <memory>
#include <string>

namespace swd3d {

class SoftwareDevice;

class SoftwareTexture final : public IDirect3DTexture9 {
 public:
  // Starts with the creator's one reference.
  SoftwareTexture(SoftwareDevice& device, std::string name, const D3DSURFACE_DESC& levelDesc,
                  bool lockable, SurfaceMemory memory);
  ~SoftwareTexture();
  SoftwareTexture(const SoftwareTexture&) = delete;
  SoftwareTexture& operator=(const SoftwareTexture&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override;
  DWORD STDMETHODCALLTYPE GetLevelCount() override;
  HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

  // The program's references, through the texture or its level surface
  // (AddRef and Release without the log). Release may destroy the texture.
  ULONG addReference();
  ULONG releaseReference();
  // A reference the device holds while the texture or its level is bound;
  // releasing may destroy the texture.
  void addBinding();
  void releaseBinding();

  SoftwareDevice& device() const { return device_; }
  const std::string& name() const { return name_; }
  SoftwareSurface& level0() { return *level0_; }

 private:
  SoftwareDevice& device_;
  std::string name_;
  std::unique_ptr<SoftwareSurface> level0_;
  ULONG references_ = 1;
  ULONG bindings_ = 0;
};

}  // namespace swd3d
