// The stand-in host: it plays the host runtime around the plug-in. It owns the
// Direct3D 9 device, the screen and depth surfaces, the numbered images,
// vectors and matrices, the runtime error slot and the host core data record,
// and registers its core, set-up, image and vector modules under their Windows
// file names so the plug-in finds them as it would in the real host.
#pragma once

#include "host/d3d9_api.h"
#include "host/d3dx9_api.h"
#include "host/win32_api.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace standin {

struct HostOptions {
  bool coreModule = true;    // "DBProCore.dll" can be loaded
  bool setupModule = true;   // "DBProSetupDebug.dll" can be loaded
  bool imageModule = true;   // imageModule handle in the record is non-zero
  bool vectorModule = true;  // vectorModule handle in the record is non-zero
  UINT screenWidth = 640;
  UINT screenHeight = 480;
};

// One host at a time: its module entries are plain functions that reach the
// host that is alive.
class StandInHost {
 public:
  explicit StandInHost(const HostOptions& options = {});
  ~StandInHost();
  StandInHost(const StandInHost&) = delete;
  StandInHost& operator=(const StandInHost&) = delete;

  static StandInHost* current();

  // The host core data record handed to ReceiveCoreDataPtr.
  void* coreData() { return record_.data(); }

  // Null if the platform gave no device; deviceError() says why.
  IDirect3DDevice9* device() const { return device_; }
  const std::string& deviceError() const { return deviceError_; }
  IDirect3DSurface9* screenSurface() const { return screen_; }
  IDirect3DSurface9* screenDepthSurface() const { return depth_; }

  // The host's window, handed over in the record: the owner of the boxes the
  // plug-in shows on the host's behalf.
  HWND window() const {
    return window_ != nullptr ? window_ : reinterpret_cast<HWND>(const_cast<char*>(&windowIdentity_));
  }

  std::int32_t runtimeError() const { return errorSlot_; }
  void clearRuntimeError() { errorSlot_ = 0; }

  // Image module.
  bool imageExists(int number) const;
  IDirect3DTexture9* image(int number) const;  // null if none; no reference added
  IDirect3DTexture9* makeImage(int number, int width, int height);
  IDirect3DTexture9* makeImageFormat(int number, int width, int height, D3DFORMAT format,
                                     DWORD usage);
  void deleteImage(int number);
  std::vector<int> imageNumbers() const;

  // Vector module.
  void setVector4(int number, const D3DXVECTOR4& value) { vectors_[number] = value; }
  void setMatrix(int number, const D3DXMATRIX& value) { matrices_[number] = value; }
  D3DXVECTOR4 vector4(int number) const;
  D3DXMATRIX matrix(int number) const;

  // Test hooks of the image module: the next n calls of Make or MakeFormat
  // yield null, as a host that cannot make the image does; nothing is deleted
  // or created by such a call.
  int failingMakeCalls = 0;
  int failingMakeFormatCalls = 0;
  // When non-zero, Make and MakeFormat cut a larger width or height to this,
  // as a host bound by its device's largest texture does.
  UINT largestImageSide = 0;
  // Test hook: the images together hold at most this many bytes of pixels (0:
  // no limit). A Make or MakeFormat that would go beyond yields null, as a host
  // out of memory does; the fuzzers keep arbitrary sizes within memory so.
  std::uint64_t imageBytesLimit = 0;

  // Core module: how often the plug-in asked the host to close and quit.
  int closeDisplayCalls = 0;
  int quitCalls = 0;

 private:
  IDirect3DTexture9* storeImage(int number, IDirect3DTexture9* texture);
  UINT imageSide(int side) const;
  bool withinImageBytesLimit(int replacedNumber, int width, int height) const;

  HostOptions options_;
  char windowIdentity_ = 0;  // its address is the window handle
  std::vector<unsigned char> record_;
  std::int32_t errorSlot_ = 0;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  HWND window_ = nullptr;
  std::string deviceError_;
  IDirect3DSurface9* screen_ = nullptr;
  IDirect3DSurface9* depth_ = nullptr;
  std::map<int, IDirect3DTexture9*> images_;
  std::map<int, D3DXVECTOR4> vectors_;
  std::map<int, D3DXMATRIX> matrices_;
  HMODULE coreModule_ = nullptr;
  HMODULE setupModule_ = nullptr;
  HMODULE imageModule_ = nullptr;
  HMODULE vectorModule_ = nullptr;
};

}  // namespace standin
