// Creating the Direct3D object, devices, textures and surfaces: what is made,
// what is refused, and sizes that cannot be had failing cleanly.
#include "d3d9_test_device.h"

#include <climits>

namespace {

using CreationTest = DeviceTest;

TEST_F(CreationTest, TexturesDescribeTheirLevelAsAsked) {
  for (DWORD usage : {0u, DWORD{D3DUSAGE_DYNAMIC}, DWORD{D3DUSAGE_RENDERTARGET}}) {
    const D3DPOOL pool = usage == 0 ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(7, 3, 0, usage, D3DFMT_A8R8G8B8, pool, &texture, nullptr),
              D3D_OK);
    Held<IDirect3DTexture9> held(texture);
    EXPECT_EQ(texture->GetLevelCount(), 1u) << "levels 0 keeps the top level only";
    Held<IDirect3DSurface9> level;
    ASSERT_EQ(texture->GetSurfaceLevel(0, level.out()), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(level->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Type, D3DRTYPE_SURFACE);
    EXPECT_EQ(desc.Usage, usage);
    EXPECT_EQ(desc.Pool, pool);
    EXPECT_EQ(desc.MultiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(desc.MultiSampleQuality, 0u);
    EXPECT_EQ(desc.Width, 7u);
    EXPECT_EQ(desc.Height, 3u);
    D3DSURFACE_DESC levelDesc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &levelDesc), D3D_OK);
    EXPECT_EQ(std::memcmp(&desc, &levelDesc, sizeof desc), 0);
    EXPECT_EQ(texture->GetLevelDesc(1, &levelDesc), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->GetSurfaceLevel(1, level.out()), D3DERR_INVALIDCALL);
  }
}

TEST_F(CreationTest, InvalidTexturesAreRefusedAndNothingIsMade) {
  struct Case {
    UINT width, height, levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
  };
  const Case refused[] = {
      {0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
      {4, 0, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
      {4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED},
      {4, 4, 1, 0, D3DFMT_D24S8, D3DPOOL_DEFAULT},
      {4, 4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
      {4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
      {4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
      {4, 4, 1, D3DUSAGE_DEPTHSTENCIL, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT},
      {4, 4, 1, 0, D3DFMT_A8R8G8B8, static_cast<D3DPOOL>(4)},
  };
  for (const Case& c : refused) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(c.width, c.height, c.levels, c.usage, c.format, c.pool,
                                    &texture, nullptr),
              D3DERR_INVALIDCALL)
        << c.width << "x" << c.height << " levels " << c.levels << " usage " << c.usage;
    EXPECT_EQ(texture, nullptr);
  }
  EXPECT_EQ(swd3d::liveObjects().textures, 0);
}

TEST_F(CreationTest, SizesThatCannotBeHadFailWithOutOfMemory) {
  const std::pair<UINT, UINT> huge[] = {
      {100000, 100000}, {UINT_MAX, 1}, {1, UINT_MAX}, {UINT_MAX, UINT_MAX}, {536870907, 1}};
  for (const auto& [width, height] : huge) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    &texture, nullptr),
              E_OUTOFMEMORY);
    EXPECT_EQ(device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, &texture, nullptr),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(texture, nullptr);
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(width, height, D3DFMT_A8R8G8B8,
                                                  D3DPOOL_SYSTEMMEM, &surface, nullptr),
              E_OUTOFMEMORY);
    EXPECT_EQ(device->CreateRenderTarget(width, height, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0,
                                         FALSE, &surface, nullptr),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(surface, nullptr);
  }
  const swd3d::LiveObjects live = swd3d::liveObjects();
  EXPECT_EQ(live.textures, 0);
  EXPECT_EQ(live.surfaces, 2);
}

TEST(DirectCreationTest, TheDirect3DObjectAndDeviceCheckTheirArguments) {
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS parameters = presentation(16, 16, true);
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr,
                              D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                  D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &parameters, &device),
            D3DERR_INVALIDCALL);
  D3DPRESENT_PARAMETERS triple = presentation(16, 16, true);
  triple.BackBufferCount = 3;
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                              &triple, &device),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(triple.BackBufferCount, 1u) << "a refused count says what the device can do";
  D3DPRESENT_PARAMETERS huge = presentation(100000, 100000, true);
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                              &huge, &device),
            D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(swd3d::liveObjects().devices, 0);
  EXPECT_EQ(swd3d::liveObjects().surfaces, 0);
  EXPECT_EQ(d3d->Release(), 0u);
}

}  // namespace
