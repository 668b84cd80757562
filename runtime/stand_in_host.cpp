#include "stand_in_host.h"

#include "host/core_data.h"
#include "host_entries.h"
#include "host_platform.h"

#include <cstdio>

namespace standin {

namespace {

StandInHost* currentHost = nullptr;

StandInHost& host() { return *currentHost; }

}  // namespace

}  // namespace standin

using standin::host;

extern "C" {

// Core module. The plug-in calls these on its fatal path; each says so on
// standard error, so the order of the calls and the message box can be seen.
DWORD standinQuit() {
  ++host().quitCalls;
  std::fputs("host: Quit\n", stderr);
  return 0;
}

DWORD standinCloseDisplay() {
  ++host().closeDisplayCalls;
  std::fputs("host: CloseDisplay\n", stderr);
  return 0;
}

IDirect3DDevice9* standinGetDirect3DDevice() { return host().device(); }

bool standinGetExist(int image) { return host().imageExists(image); }
IDirect3DTexture9* standinGetPointer(int image) { return host().image(image); }
IDirect3DTexture9* standinMake(int image, int width, int height) {
  return host().makeImage(image, width, height);
}
IDirect3DTexture9* standinMakeFormat(int image, int width, int height, D3DFORMAT format,
                                     DWORD usage) {
  return host().makeImageFormat(image, width, height, format, usage);
}
void standinDelete(int image) { host().deleteImage(image); }

D3DXMATRIX standinGetMatrix(int matrix) { return host().matrix(matrix); }
D3DXVECTOR4 standinGetVector4(int vector) { return host().vector4(vector); }

}  // extern "C"

namespace standin {

StandInHost* StandInHost::current() { return currentHost; }

StandInHost::StandInHost(const HostOptions& options)
    : options_(options), record_(1024, 0) {
  currentHost = this;

  HostDevice created = createHostDevice(options.screenWidth, options.screenHeight, deviceError_);
  d3d_ = created.d3d;
  device_ = created.device;
  window_ = created.window;
  if (device_ != nullptr) {
    device_->GetRenderTarget(0, &screen_);
    device_->GetDepthStencilSurface(&depth_);
  }

  const HostModules modules = publishHostModules(options);
  coreModule_ = modules.core;
  setupModule_ = modules.setup;
  imageModule_ = modules.image;
  vectorModule_ = modules.vector;

  using namespace tessaly::core_data;
  write<std::int32_t*>(record_.data(), runtimeErrorSlot, &errorSlot_);
  write<HMODULE>(record_.data(), imageModule, options.imageModule ? imageModule_ : nullptr);
  write<HMODULE>(record_.data(), vectorModule, options.vectorModule ? vectorModule_ : nullptr);
  write<HWND>(record_.data(), hostWindow, window());
  write<IDirect3DSurface9*>(record_.data(), Offset::screenSurface, screen_);
  write<IDirect3DSurface9*>(record_.data(), Offset::screenDepthSurface, depth_);
}

StandInHost::~StandInHost() {
  for (auto& [number, texture] : images_) texture->Release();
  images_.clear();
  if (depth_ != nullptr) depth_->Release();
  if (screen_ != nullptr) screen_->Release();
  HostDevice created{d3d_, device_, window_};
  destroyHostDevice(created);
  withdrawHostModules({coreModule_, setupModule_, imageModule_, vectorModule_});
  if (currentHost == this) currentHost = nullptr;
}

bool StandInHost::imageExists(int number) const { return images_.count(number) != 0; }

IDirect3DTexture9* StandInHost::image(int number) const {
  const auto it = images_.find(number);
  return it == images_.end() ? nullptr : it->second;
}

IDirect3DTexture9* StandInHost::storeImage(int number, IDirect3DTexture9* texture) {
  deleteImage(number);
  images_[number] = texture;
  return texture;
}

UINT StandInHost::imageSide(int side) const {
  const auto requested = static_cast<UINT>(side);
  return largestImageSide != 0 && requested > largestImageSide ? largestImageSide : requested;
}

// Plain images live in the managed pool, as the host's image module makes them.
IDirect3DTexture9* StandInHost::makeImage(int number, int width, int height) {
  if (failingMakeCalls > 0) {
    --failingMakeCalls;
    return nullptr;
  }
  if (width <= 0 || height <= 0 || !withinImageBytesLimit(number, width, height)) return nullptr;
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device_->CreateTexture(imageSide(width), imageSide(height), 1, 0,
                                    D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr))) {
    return nullptr;
  }
  return storeImage(number, texture);
}

// Images of other formats and usages, render targets among them.
IDirect3DTexture9* StandInHost::makeImageFormat(int number, int width, int height,
                                                D3DFORMAT format, DWORD usage) {
  if (failingMakeFormatCalls > 0) {
    --failingMakeFormatCalls;
    return nullptr;
  }
  if (width <= 0 || height <= 0 || !withinImageBytesLimit(number, width, height)) return nullptr;
  // Render targets and dynamic textures cannot be managed: they live in the default pool.
  const D3DPOOL pool =
      (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)) != 0 ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device_->CreateTexture(imageSide(width), imageSide(height), 1, usage,
                                    format, pool, &texture, nullptr))) {
    return nullptr;
  }
  return storeImage(number, texture);
}

bool StandInHost::withinImageBytesLimit(int replacedNumber, int width, int height) const {
  if (imageBytesLimit == 0) return true;
  std::uint64_t bytes = std::uint64_t{4} * static_cast<std::uint64_t>(width) *
                        static_cast<std::uint64_t>(height);
  for (const auto& [number, texture] : images_) {
    D3DSURFACE_DESC desc{};
    if (number == replacedNumber || FAILED(texture->GetLevelDesc(0, &desc))) continue;
    bytes += std::uint64_t{4} * desc.Width * desc.Height;
  }
  return bytes <= imageBytesLimit;
}

void StandInHost::deleteImage(int number) {
  const auto it = images_.find(number);
  if (it == images_.end()) return;
  it->second->Release();
  images_.erase(it);
}

std::vector<int> StandInHost::imageNumbers() const {
  std::vector<int> numbers;
  for (const auto& [number, texture] : images_) numbers.push_back(number);
  return numbers;
}

D3DXVECTOR4 StandInHost::vector4(int number) const {
  const auto it = vectors_.find(number);
  return it == vectors_.end() ? D3DXVECTOR4{} : it->second;
}

D3DXMATRIX StandInHost::matrix(int number) const {
  const auto it = matrices_.find(number);
  return it == matrices_.end() ? D3DXMATRIX{} : it->second;
}

}  // namespace standin
