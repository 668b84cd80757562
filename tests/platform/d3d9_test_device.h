// A software device for the device's own tests, with one reference helper. At
// teardown it checks that nothing was left locked, that releasing the device
// and everything else left no object alive, and that no row padding was
// overwritten unless the test said so.
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/device_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// Holds one reference and gives it back.
template <class Interface>
class Held {
 public:
  Held() = default;
  explicit Held(Interface* object) : object_(object) {}
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() { reset(); }

  void reset() {
    if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
  }
  Interface** out() {
    reset();
    return &object_;
  }
  Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }

 private:
  Interface* object_ = nullptr;
};

inline D3DPRESENT_PARAMETERS presentation(UINT width, UINT height, bool autoDepthStencil) {
  D3DPRESENT_PARAMETERS parameters{};
  parameters.BackBufferWidth = width;
  parameters.BackBufferHeight = height;
  parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = autoDepthStencil ? TRUE : FALSE;
  parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
  return parameters;
}

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    swd3d::clearFailures();
    swd3d::resetPaddingViolations();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters = presentation(kScreenWidth, kScreenHeight, true);
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device),
              D3D_OK);
  }

  void TearDown() override {
    swd3d::setCallLog(false);
    swd3d::clearFailures();
    EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0) << "a surface was left locked";
    if (device != nullptr) device->Release();
    d3d->Release();
    const swd3d::LiveObjects live = swd3d::liveObjects();
    EXPECT_EQ(live.devices, 0) << "leaked devices";
    EXPECT_EQ(live.textures, 0) << "leaked textures";
    EXPECT_EQ(live.surfaces, 0) << "leaked surfaces";
    EXPECT_EQ(live.surfaceReferences, 0) << "leaked surface references";
    EXPECT_EQ(swd3d::paddingViolations(), expectedPaddingViolations);
  }

  IDirect3DTexture9* makeTexture(UINT width, UINT height, DWORD usage = 0,
                                 D3DPOOL pool = D3DPOOL_MANAGED) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, usage, D3DFMT_A8R8G8B8, pool, &texture,
                                    nullptr),
              D3D_OK);
    return texture;
  }

  IDirect3DSurface9* makeSurface(UINT width, UINT height, D3DPOOL pool = D3DPOOL_SYSTEMMEM) {
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(width, height, D3DFMT_A8R8G8B8, pool, &surface,
                                                  nullptr),
              D3D_OK);
    return surface;
  }

  // The pixels of a lockable surface, row by row.
  static std::vector<std::uint32_t> words(IDirect3DSurface9* surface) {
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
    D3DLOCKED_RECT locked{};
    if (surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return {};
    std::vector<std::uint32_t> out(std::size_t{desc.Width} * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
      std::memcpy(out.data() + std::size_t{y} * desc.Width,
                  static_cast<const std::uint8_t*>(locked.pBits) +
                      static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                  std::size_t{desc.Width} * 4);
    }
    surface->UnlockRect();
    return out;
  }

  // The pixels of a render target, read back through a system-memory copy.
  std::vector<std::uint32_t> renderTargetWords(IDirect3DSurface9* renderTarget) {
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(renderTarget->GetDesc(&desc), D3D_OK);
    Held<IDirect3DSurface9> copy(makeSurface(desc.Width, desc.Height));
    EXPECT_EQ(device->GetRenderTargetData(renderTarget, copy.get()), D3D_OK);
    return words(copy.get());
  }

  static constexpr UINT kScreenWidth = 64;
  static constexpr UINT kScreenHeight = 48;
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  int expectedPaddingViolations = 0;
};
