// failNext: each armed kind fails its next call once, with the error the
// header names, and the failed call changes nothing.
#include "d3d9_test_device.h"

namespace {

using FailNextTest = DeviceTest;

TEST_F(FailNextTest, CreationCallsFailOnceWithOutOfMemory) {
  IDirect3DTexture9* texture = nullptr;
  swd3d::failNext(swd3d::Call::CreateTexture);
  EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                  nullptr),
            E_OUTOFMEMORY);
  EXPECT_EQ(texture, nullptr);
  EXPECT_EQ(swd3d::liveObjects().textures, 0);
  Held<IDirect3DTexture9> made(makeTexture(4, 4));

  IDirect3DSurface9* surface = nullptr;
  swd3d::failNext(swd3d::Call::CreateOffscreenPlainSurface);
  EXPECT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                &surface, nullptr),
            E_OUTOFMEMORY);
  EXPECT_EQ(surface, nullptr);
  Held<IDirect3DSurface9> plain(makeSurface(4, 4));
}

TEST_F(FailNextTest, SurfaceCallsFailOnceAndLeaveTheSurfaceAsItWas) {
  Held<IDirect3DTexture9> texture(makeTexture(4, 4));
  Held<IDirect3DSurface9> surface;
  swd3d::failNext(swd3d::Call::GetSurfaceLevel);
  EXPECT_EQ(texture->GetSurfaceLevel(0, surface.out()), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface.get(), nullptr);
  ASSERT_EQ(texture->GetSurfaceLevel(0, surface.out()), D3D_OK);

  D3DSURFACE_DESC desc{};
  swd3d::failNext(swd3d::Call::GetDesc);
  EXPECT_EQ(surface->GetDesc(&desc), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);

  D3DLOCKED_RECT locked{};
  swd3d::failNext(swd3d::Call::LockRect);
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0);
  ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
  swd3d::failNext(swd3d::Call::UnlockRect);
  EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL);
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 1) << "a failed unlock keeps the lock";
  EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
}

TEST_F(FailNextTest, DeviceCallsFailOnceAndChangeNothing) {
  Held<IDirect3DTexture9> texture(makeTexture(4, 4, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> level, backBuffer, current;
  ASSERT_EQ(texture->GetSurfaceLevel(0, level.out()), D3D_OK);
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);

  swd3d::failNext(swd3d::Call::SetRenderTarget);
  EXPECT_EQ(device->SetRenderTarget(0, level.get()), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->GetRenderTarget(0, current.out()), D3D_OK);
  EXPECT_EQ(current.get(), backBuffer.get());

  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x12345678u, 0.0f, 0), D3D_OK);
  swd3d::failNext(swd3d::Call::Clear);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFFu, 0.0f, 0), D3DERR_INVALIDCALL);

  Held<IDirect3DSurface9> copy(makeSurface(kScreenWidth, kScreenHeight));
  swd3d::failNext(swd3d::Call::GetRenderTargetData);
  EXPECT_EQ(device->GetRenderTargetData(backBuffer.get(), copy.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(words(copy.get())[0], 0u);
  EXPECT_EQ(device->GetRenderTargetData(backBuffer.get(), copy.get()), D3D_OK);
  EXPECT_EQ(words(copy.get())[0], 0x12345678u) << "the failed clear wrote nothing";
}

TEST_F(FailNextTest, ArmingCountsAndClearFailuresDisarms) {
  Held<IDirect3DSurface9> surface(makeSurface(2, 2));
  D3DSURFACE_DESC desc{};
  swd3d::failNext(swd3d::Call::GetDesc);
  swd3d::failNext(swd3d::Call::GetDesc);
  EXPECT_EQ(surface->GetDesc(&desc), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->GetDesc(&desc), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);

  swd3d::failNext(swd3d::Call::GetDesc);
  swd3d::failNext(swd3d::Call::LockRect);
  swd3d::clearFailures();
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
  D3DLOCKED_RECT locked{};
  EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(surface->UnlockRect(), D3D_OK);
}

TEST_F(FailNextTest, AFailureArmedAfterPassingCallsWaitsForThem) {
  Held<IDirect3DSurface9> surface(makeSurface(2, 2));
  D3DSURFACE_DESC desc{};
  swd3d::failNextAfter(swd3d::Call::GetDesc, 2);
  EXPECT_EQ(swd3d::armedFailures(), 1);
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(swd3d::armedFailures(), 1) << "the calls that went through do not disarm it";
  EXPECT_EQ(surface->GetDesc(&desc), D3DERR_INVALIDCALL);
  EXPECT_EQ(swd3d::armedFailures(), 0);
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
}

}  // namespace
