// Stand-in only: the test hooks of the software Direct3D 9 device. Host code
// never needs these; tests use them to see leaks and locks, to make a chosen
// call fail, and to log the calls made on the device and its objects.
#pragma once

#include "d3d9/d3d9.h"

#include <string>
#include <vector>

namespace swd3d {

// Objects alive right now, across every device.
//
// Ownership follows real Direct3D 9:
// - A texture lives while the program holds a reference to it (through the
//   texture or its level surface) or a device has it bound by SetTexture.
// - A texture's level surface shares the texture's lifetime: its AddRef and
//   Release forward to the texture, and GetSurfaceLevel adds a reference to
//   the texture.
// - A stand-alone surface (CreateRenderTarget, CreateDepthStencilSurface,
//   CreateOffscreenPlainSurface) lives while the program holds a reference or
//   a device has it bound as render target or depth-stencil surface.
// - The back buffer and the automatic depth-stencil surface belong to their
//   device and live exactly as long as it.
// - Every texture and surface the program holds a reference to holds one
//   reference on its device, so the device outlives them; what the device
//   only has bound goes when the device goes.
//
// `surfaces` counts surface objects in use: every live stand-alone surface,
// the back buffer and automatic depth-stencil surface of every live device,
// and each texture level while a reference to it is held through its
// IDirect3DSurface9 (by the program, or by a device that has it bound as
// render target). A level surface that is taken with GetSurfaceLevel and never
// released therefore shows here even though its texture is still wanted.
//
// `surfaceReferences` counts the references the program holds through
// IDirect3DSurface9 pointers (each GetSurfaceLevel, GetBackBuffer,
// GetRenderTarget, GetDepthStencilSurface, Create... and AddRef adds one, each
// Release takes one away; device bindings are not included). It catches a
// reference forgotten on a surface that stays alive anyway, such as the back
// buffer returned by GetRenderTarget.
struct LiveObjects {
  int devices = 0;
  int textures = 0;
  int surfaces = 0;
  int lockedSurfaces = 0;
  int surfaceReferences = 0;
  int pixelShaders = 0;  // shader objects from makeProgramPixelShader
};
LiveObjects liveObjects();

// Number of unlocks that found a locked row's padding overwritten, since the
// last reset: a write past the end of a row. Each such unlock also prints one
// line to stderr naming the surface and the first damaged row, and puts the
// padding back so the same damage is not counted twice.
int paddingViolations();
void resetPaddingViolations();

// The calls a test can make fail: the next call of that kind returns an error
// (E_OUTOFMEMORY for creation, D3DERR_INVALIDCALL otherwise) and changes
// nothing. Arming a kind n times fails its next n calls. LockRect and
// UnlockRect cover the calls on surfaces and on textures alike; GetDesc is
// IDirect3DSurface9::GetDesc.
enum class Call {
  CreateTexture,
  GetSurfaceLevel,
  GetDesc,
  LockRect,
  UnlockRect,
  CreateOffscreenPlainSurface,
  GetRenderTargetData,
  SetRenderTarget,
  DrawPrimitiveUP,
  Clear,
};
void failNext(Call call);
// The same after `passing` more calls of that kind have gone through: the
// second lock of a command is reached by failNextAfter(Call::LockRect, 1).
void failNextAfter(Call call, int passing);
// Armed failures that have not happened yet.
int armedFailures();
void clearFailures();

// Call log: one string per call made on the Direct3D object, a device, a
// texture or a surface, in order, failed calls included. Enabling starts an
// empty log; takeCallLog returns the entries so far and empties it.
//
// Format: "Method(arg, arg, ...)", the method by its Direct3D name. Calls on a
// texture or surface name the object as first argument ("LockRect(tex1.level0,
// null, 0)"); calls on the device or Direct3D object do not ("SetTexture(0,
// tex1)"). Out-parameters and shared handles are left out. Arguments:
// - integers, enumeration values and flags in decimal;
// - D3DCOLOR arguments (ColorFill, Clear) as 0xAARRGGBB;
// - floats in shortest form ("0", "0.5");
// - a RECT or D3DRECT as {left,top,right,bottom}, an array of them as
//   [{...},{...}], a null pointer as null;
// - objects by name: "d3d9", "device", "backbuffer", "depthstencil" (the
//   automatic one), "tex<N>" for textures and "surf<N>" for stand-alone
//   surfaces (each numbered from 1 per device in creation order),
//   "tex<N>.level0" for a texture's level surface, "foreign" for an object
//   this device did not make;
// - an interface asked of QueryInterface by name ("IDirect3DSurface9"), or
//   "unknown".
void setCallLog(bool enabled);
std::vector<std::string> takeCallLog();

// Bytes of padding the device adds at the end of every row of a surface.
inline constexpr int kRowPaddingBytes = 20;

}  // namespace swd3d
