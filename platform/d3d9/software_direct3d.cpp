#include "d3d9/software_direct3d.h"

#include "d3d9/call_log.h"
#include "d3d9/interface_ids.h"
#include "d3d9/software_device.h"

#include <bit>
#include <new>

namespace swd3d {

namespace {

constexpr DWORD kMixedVertexProcessing = 0x00000080;  // D3DCREATE_MIXED_VERTEXPROCESSING
// The debug runtime's flag that may accompany the SDK version.
constexpr UINT kDebugSdkFlag = 0x80000000u;

}  // namespace

HRESULT SoftwareDirect3D::QueryInterface(REFIID riid, void** object) {
  logCall("QueryInterface", "d3d9", riid);
  if (object == nullptr) return D3DERR_INVALIDCALL;
  if (!iid::oneOf(riid, {&iid::unknown, &iid::direct3d9})) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  addReference();
  *object = static_cast<IDirect3D9*>(this);
  return S_OK;
}

ULONG SoftwareDirect3D::AddRef() {
  logCall("AddRef", "d3d9");
  return addReference();
}

ULONG SoftwareDirect3D::Release() {
  logCall("Release", "d3d9");
  return releaseReference();
}

ULONG SoftwareDirect3D::releaseReference() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT SoftwareDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND /*focusWindow*/,
                                       DWORD behaviorFlags,
                                       D3DPRESENT_PARAMETERS* presentationParameters,
                                       IDirect3DDevice9** device) {
  logCall("CreateDevice", adapter, deviceType, behaviorFlags);
  if (device == nullptr) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (presentationParameters == nullptr || adapter != D3DADAPTER_DEFAULT) {
    return D3DERR_INVALIDCALL;
  }
  if (deviceType == D3DDEVTYPE_SW) return D3DERR_NOTAVAILABLE;  // no pluggable rasteriser
  if (deviceType != D3DDEVTYPE_HAL && deviceType != D3DDEVTYPE_REF) return D3DERR_INVALIDCALL;
  // Exactly one kind of vertex processing must be asked for.
  const DWORD vertexProcessing =
      behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                       kMixedVertexProcessing);
  if (std::popcount(vertexProcessing) != 1) return D3DERR_INVALIDCALL;
  return SoftwareDevice::create(*this, *presentationParameters, device);
}

}  // namespace swd3d

extern "C" IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
  swd3d::logCall("Direct3DCreate9", sdkVersion);
  if ((sdkVersion & ~swd3d::kDebugSdkFlag) != D3D_SDK_VERSION) return nullptr;
  return new (std::nothrow) swd3d::SoftwareDirect3D();
}
