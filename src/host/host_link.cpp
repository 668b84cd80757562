#include "host/host_link.h"

#include "host/core_data.h"
#include "host/failure.h"

namespace tessaly {

HostLink hostLink;

namespace {

// A field of the record, or a null value before the host handed the record over.
template <class T>
T recordField(core_data::Offset offset) {
  if (hostLink.coreData == nullptr) return T{};
  return core_data::read<T>(hostLink.coreData, offset);
}

}  // namespace

IDirect3DDevice9* hostDevice() {
  IDirect3DDevice9* device = hostLink.getDirect3DDevice != nullptr ? hostLink.getDirect3DDevice() : nullptr;
  if (device == nullptr) fatalError("GetDirect3DDevice gave no Direct3D device.", "Error");
  return device;
}

HWND hostWindow() { return recordField<HWND>(core_data::hostWindow); }

IDirect3DSurface9* hostScreenSurface() {
  return recordField<IDirect3DSurface9*>(core_data::screenSurface);
}

IDirect3DSurface9* hostScreenDepthSurface() {
  return recordField<IDirect3DSurface9*>(core_data::screenDepthSurface);
}

std::int32_t* hostRuntimeErrorSlot() {
  return recordField<std::int32_t*>(core_data::runtimeErrorSlot);
}

}  // namespace tessaly
