// Stand-in only: the test hooks of the software Direct3D 9 device. Host code
// never needs these; tests use them to see leaks and locks, to make a chosen
// call fail, and to log the calls made on the device and its objects.
#pragma once

#include "d3d9/d3d9.h"

#include <string>
#include <vector>

namespace swd3d {

// Objects alive right now, across every device.
struct LiveObjects {
  int devices = 0;
  int textures = 0;
  int surfaces = 0;  // stand-alone surfaces and texture levels with a reference held
  int lockedSurfaces = 0;
};
LiveObjects liveObjects();

// Number of times a lock's row padding was found overwritten at unlock, since
// the last reset: a write past the end of a row.
int paddingViolations();
void resetPaddingViolations();

// The calls a test can make fail once: the next call of that kind returns an
// error (E_OUTOFMEMORY for creation, D3DERR_INVALIDCALL otherwise).
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
void clearFailures();

// Call log: method name and arguments, one string per call, in order.
void setCallLog(bool enabled);
std::vector<std::string> takeCallLog();

// Bytes of padding the device adds at the end of every row of a surface.
inline constexpr int kRowPaddingBytes = 20;

}  // namespace swd3d
