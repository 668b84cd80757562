// Reference counts and live objects: who keeps whom alive, as on a real
// device, and how a forgotten reference shows in the counters.
#include "d3d9_test_device.h"

namespace {

using ReferenceCountTest = DeviceTest;

TEST_F(ReferenceCountTest, TheDeviceOwnsItsBackBufferAndDepthSurface) {
  const swd3d::LiveObjects live = swd3d::liveObjects();
  EXPECT_EQ(live.devices, 1);
  EXPECT_EQ(live.surfaces, 2);
  EXPECT_EQ(live.surfaceReferences, 0);

  IDirect3DSurface9* backBuffer = nullptr;
  IDirect3DSurface9* target = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
  EXPECT_EQ(backBuffer, target);
  EXPECT_EQ(swd3d::liveObjects().surfaceReferences, 2);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 2);
  D3DSURFACE_DESC desc{};
  ASSERT_EQ(backBuffer->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);
  EXPECT_EQ(desc.Width, kScreenWidth);
  EXPECT_EQ(desc.Height, kScreenHeight);
  EXPECT_EQ(target->Release(), 1u);
  EXPECT_EQ(backBuffer->Release(), 0u);
  EXPECT_EQ(swd3d::liveObjects().surfaceReferences, 0);
}

TEST_F(ReferenceCountTest, ALevelSurfaceSharesItsTexturesLifetime) {
  IDirect3DTexture9* texture = makeTexture(4, 4);
  EXPECT_EQ(swd3d::liveObjects().textures, 1);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 2) << "an unreferenced level is not counted";
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 3);
  EXPECT_EQ(swd3d::liveObjects().surfaceReferences, 1);

  EXPECT_EQ(texture->Release(), 1u) << "the level's reference keeps the texture";
  EXPECT_EQ(swd3d::liveObjects().textures, 1);
  D3DSURFACE_DESC desc{};
  EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(surface->AddRef(), 2u) << "level references are the texture's";
  EXPECT_EQ(surface->Release(), 1u);
  EXPECT_EQ(surface->Release(), 0u);
  EXPECT_EQ(swd3d::liveObjects().textures, 0);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 2);
}

TEST_F(ReferenceCountTest, AForgottenLevelReferenceShowsWhileTheTextureLives) {
  Held<IDirect3DTexture9> texture(makeTexture(4, 4));
  IDirect3DSurface9* first = nullptr;
  IDirect3DSurface9* second = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &first), D3D_OK);
  ASSERT_EQ(texture->GetSurfaceLevel(0, &second), D3D_OK);
  EXPECT_EQ(first, second);
  first->Release();
  EXPECT_EQ(swd3d::liveObjects().surfaces, 3);
  EXPECT_EQ(swd3d::liveObjects().surfaceReferences, 1);
  second->Release();
  EXPECT_EQ(swd3d::liveObjects().surfaces, 2);
  EXPECT_EQ(swd3d::liveObjects().surfaceReferences, 0);
}

TEST_F(ReferenceCountTest, ABoundTextureLivesUntilUnbound) {
  IDirect3DTexture9* texture = makeTexture(4, 4);
  ASSERT_EQ(device->SetTexture(3, texture), D3D_OK);
  EXPECT_EQ(texture->Release(), 0u);
  EXPECT_EQ(swd3d::liveObjects().textures, 1);

  IDirect3DBaseTexture9* bound = nullptr;
  ASSERT_EQ(device->GetTexture(3, &bound), D3D_OK);
  EXPECT_EQ(bound, texture);
  EXPECT_EQ(bound->Release(), 0u);
  ASSERT_EQ(device->GetTexture(2, &bound), D3D_OK);
  EXPECT_EQ(bound, nullptr);

  ASSERT_EQ(device->SetTexture(3, nullptr), D3D_OK);
  EXPECT_EQ(swd3d::liveObjects().textures, 0);
}

TEST_F(ReferenceCountTest, ABoundRenderTargetKeepsItsSurfaceAndTexture) {
  IDirect3DTexture9* texture = makeTexture(8, 8, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  IDirect3DSurface9* stencil = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(8, 8, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, FALSE,
                                              &stencil, nullptr),
            D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
  ASSERT_EQ(device->SetDepthStencilSurface(stencil), D3D_OK);
  level->Release();
  texture->Release();
  stencil->Release();
  EXPECT_EQ(swd3d::liveObjects().textures, 1);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 4);
  EXPECT_EQ(swd3d::liveObjects().surfaceReferences, 0);

  Held<IDirect3DSurface9> current;
  ASSERT_EQ(device->GetRenderTarget(0, current.out()), D3D_OK);
  EXPECT_EQ(current.get(), level);
  current.reset();

  Held<IDirect3DSurface9> backBuffer;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, backBuffer.get()), D3D_OK);
  ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
  EXPECT_EQ(swd3d::liveObjects().textures, 0);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 2);
}

TEST_F(ReferenceCountTest, ObjectsKeepTheirDeviceAndTheDeviceFreesWhatOnlyItHeld) {
  IDirect3DTexture9* held = makeTexture(2, 2);
  IDirect3DTexture9* bound = makeTexture(2, 2);
  ASSERT_EQ(device->SetTexture(0, bound), D3D_OK);
  bound->Release();
  IDirect3DDevice9* owner = nullptr;
  ASSERT_EQ(held->GetDevice(&owner), D3D_OK);
  EXPECT_EQ(owner, device);
  EXPECT_EQ(owner->Release(), 2u) << "the program's reference and the texture's";

  EXPECT_EQ(std::exchange(device, nullptr)->Release(), 1u);
  EXPECT_EQ(swd3d::liveObjects().devices, 1);
  EXPECT_EQ(swd3d::liveObjects().textures, 2);
  EXPECT_EQ(held->Release(), 0u);
  // The last texture let the device go, and with it the texture only it had bound.
  EXPECT_EQ(swd3d::liveObjects().devices, 0);
  EXPECT_EQ(swd3d::liveObjects().textures, 0);
}

TEST_F(ReferenceCountTest, QueryInterfaceAnswersForTheInterfacesAnObjectHas) {
  Held<IDirect3DTexture9> texture(makeTexture(2, 2));
  constexpr IID kBaseTexture{0x580CA87E, 0x1D3C, 0x4D54,
                             {0x99, 0x1D, 0xB7, 0xD3, 0xE3, 0xC2, 0x98, 0xCE}};
  constexpr IID kSurface{0x0CFBAF3A, 0x9FF6, 0x429A,
                         {0x99, 0xB3, 0xA2, 0x79, 0x6A, 0xF8, 0xB8, 0x9B}};
  void* object = nullptr;
  ASSERT_EQ(texture->QueryInterface(kBaseTexture, &object), S_OK);
  EXPECT_EQ(object, static_cast<IDirect3DBaseTexture9*>(texture.get()));
  EXPECT_EQ(static_cast<IDirect3DBaseTexture9*>(object)->Release(), 1u);
  EXPECT_EQ(texture->QueryInterface(kSurface, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
