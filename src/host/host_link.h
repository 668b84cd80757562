// The host link: the host entry points Tessaly resolves by decorated name from
// the host's core, set-up, image and vector modules, and the host core data
// record it was given.
#pragma once

#include "host/d3d9_api.h"
#include "host/d3dx9_api.h"
#include "host/win32_api.h"

#include <cstdint>

namespace tessaly {

struct HostLink {
  HMODULE coreModule = nullptr;
  HMODULE setupModule = nullptr;

  DWORD (*quit)() = nullptr;
  DWORD (*closeDisplay)() = nullptr;
  IDirect3DDevice9* (*getDirect3DDevice)() = nullptr;

  bool (*getExist)(int image) = nullptr;
  IDirect3DTexture9* (*getPointer)(int image) = nullptr;
  IDirect3DTexture9* (*make)(int image, int width, int height) = nullptr;
  IDirect3DTexture9* (*makeFormat)(int image, int width, int height, D3DFORMAT format,
                                   DWORD usage) = nullptr;
  void (*deleteImage)(int image) = nullptr;

  D3DXMATRIX (*getMatrix)(int matrix) = nullptr;
  D3DXVECTOR4 (*getVector4)(int vector) = nullptr;

  void* coreData = nullptr;  // the host core data record, kept for the module's life
};

extern HostLink hostLink;

// The host's Direct3D 9 device, fetched anew; a host that has none ends the
// process through the fatal path instead of handing a null device on.
IDirect3DDevice9* hostDevice();

// Fields of the host core data record.
HWND hostWindow();
std::int32_t* hostRuntimeErrorSlot();
IDirect3DSurface9* hostScreenSurface();
IDirect3DSurface9* hostScreenDepthSurface();

// Resolves one entry of a host module into a typed function pointer. The
// detour through void (*)() is the generic function pointer type, which GCC
// accepts between any two signatures (FARPROC's differs on Windows).
template <class Fn>
void resolveEntry(HMODULE module, const char* decoratedName, Fn*& entry) {
  using GenericFunction = void (*)();
  entry = reinterpret_cast<Fn*>(
      reinterpret_cast<GenericFunction>(GetProcAddress(module, decoratedName)));
}

}  // namespace tessaly
