// The entries of the stand-in host's core, set-up, image and vector modules:
// plain C functions that act on the host that is alive. The platform
// publishes them under their decorated names (host_platform_*.cpp).
#pragma once

#include "host/d3d9_api.h"
#include "host/d3dx9_api.h"
#include "host/win32_api.h"

extern "C" {

// Core module.
DWORD standinQuit();
DWORD standinCloseDisplay();
// Set-up module.
IDirect3DDevice9* standinGetDirect3DDevice();
// Image module.
bool standinGetExist(int image);
IDirect3DTexture9* standinGetPointer(int image);
IDirect3DTexture9* standinMake(int image, int width, int height);
IDirect3DTexture9* standinMakeFormat(int image, int width, int height, D3DFORMAT format,
                                     DWORD usage);
void standinDelete(int image);
// Vector module.
D3DXMATRIX standinGetMatrix(int matrix);
D3DXVECTOR4 standinGetVector4(int vector);

}  // extern "C"
