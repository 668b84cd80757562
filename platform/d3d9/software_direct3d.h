// The Direct3D object Direct3DCreate9 returns: it makes software devices.
#pragma once

#include "d3d9/d3d9.h"

namespace swd3d {

class SoftwareDirect3D final : public IDirect3D9 {
 public:
  SoftwareDirect3D() = default;
  SoftwareDirect3D(const SoftwareDirect3D&) = delete;
  SoftwareDirect3D& operator=(const SoftwareDirect3D&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                         DWORD behaviorFlags,
                                         D3DPRESENT_PARAMETERS* presentationParameters,
                                         IDirect3DDevice9** device) override;

  // References without the log; a device holds one on the object that made
  // it. Release may destroy the object.
  ULONG addReference() { return ++references_; }
  ULONG releaseReference();

 private:
  ~SoftwareDirect3D() = default;

  ULONG references_ = 1;
};

}  // namespace swd3d
