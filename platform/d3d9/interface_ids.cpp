#include "d3d9/interface_ids.h"

#include <cstring>

namespace swd3d::iid {

bool same(const IID& a, const IID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

bool oneOf(const IID& id, std::initializer_list<const IID*> candidates) {
  for (const IID* candidate : candidates) {
    if (same(id, *candidate)) return true;
  }
  return false;
}

const char* nameOf(const IID& id) {
  struct Named {
    const IID* id;
    const char* name;
  };
  static constexpr Named kNames[] = {
      {&unknown, "IUnknown"},           {&direct3d9, "IDirect3D9"},
      {&device9, "IDirect3DDevice9"},   {&resource9, "IDirect3DResource9"},
      {&surface9, "IDirect3DSurface9"}, {&baseTexture9, "IDirect3DBaseTexture9"},
      {&texture9, "IDirect3DTexture9"}, {&pixelShader9, "IDirect3DPixelShader9"},
  };
  for (const Named& named : kNames) {
    if (same(id, *named.id)) return named.name;
  }
  return "unknown";
}

}  // namespace swd3d::iid
