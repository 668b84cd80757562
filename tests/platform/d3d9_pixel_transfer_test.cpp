// ColorFill, Clear and GetRenderTargetData write and copy exact words, only
// where they are asked to.
#include "d3d9_test_device.h"

namespace {

using PixelTransferTest = DeviceTest;

std::vector<std::uint32_t> expectedFill(UINT width, UINT height, std::uint32_t background,
                                        const RECT& rect, std::uint32_t colour) {
  std::vector<std::uint32_t> out(std::size_t{width} * height, background);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    for (LONG x = rect.left; x < rect.right; ++x) out[std::size_t(y) * width + x] = colour;
  }
  return out;
}

TEST_F(PixelTransferTest, ColorFillWritesTheWholeSurfaceOrOneRectangle) {
  Held<IDirect3DTexture9> texture(makeTexture(5, 4, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> level;
  ASSERT_EQ(texture->GetSurfaceLevel(0, level.out()), D3D_OK);
  ASSERT_EQ(device->ColorFill(level.get(), nullptr, 0x80FF0001u), D3D_OK);
  const RECT rect{1, 2, 4, 4};
  ASSERT_EQ(device->ColorFill(level.get(), &rect, 0x01020304u), D3D_OK);
  EXPECT_EQ(renderTargetWords(level.get()), expectedFill(5, 4, 0x80FF0001u, rect, 0x01020304u));

  // An off-screen plain surface in video memory can be filled and locked:
  // the fill stays inside the rows.
  Held<IDirect3DSurface9> plain(makeSurface(3, 2, D3DPOOL_DEFAULT));
  ASSERT_EQ(device->ColorFill(plain.get(), nullptr, 0xFFFFFFFFu), D3D_OK);
  EXPECT_EQ(words(plain.get()), std::vector<std::uint32_t>(6, 0xFFFFFFFFu));
}

TEST_F(PixelTransferTest, ColorFillRefusesWhatARealDeviceRefuses) {
  Held<IDirect3DTexture9> managed(makeTexture(4, 4));
  Held<IDirect3DTexture9> dynamic(makeTexture(4, 4, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> managedLevel, dynamicLevel, depth, system(makeSurface(4, 4));
  ASSERT_EQ(managed->GetSurfaceLevel(0, managedLevel.out()), D3D_OK);
  ASSERT_EQ(dynamic->GetSurfaceLevel(0, dynamicLevel.out()), D3D_OK);
  ASSERT_EQ(device->GetDepthStencilSurface(depth.out()), D3D_OK);
  for (IDirect3DSurface9* surface :
       {managedLevel.get(), dynamicLevel.get(), depth.get(), system.get()}) {
    EXPECT_EQ(device->ColorFill(surface, nullptr, 0), D3DERR_INVALIDCALL);
  }
  Held<IDirect3DSurface9> backBuffer;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);
  const RECT outside{0, 0, kScreenWidth + 1, 1};
  EXPECT_EQ(device->ColorFill(backBuffer.get(), &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->ColorFill(nullptr, nullptr, 0), D3DERR_INVALIDCALL);
}

TEST_F(PixelTransferTest, ClearFillsTheRenderTargetWithinItsRectangles) {
  Held<IDirect3DTexture9> texture(makeTexture(6, 5, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> level;
  ASSERT_EQ(texture->GetSurfaceLevel(0, level.out()), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, level.get()), D3D_OK);
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x11223344u, 0.0f, 0), D3D_OK);
  // Rectangles are cut to the target; one wholly outside, or inverted, does nothing.
  const D3DRECT rects[] = {{-3, -3, 2, 1}, {4, 3, 100, 100}, {10, 10, 20, 20}, {3, 3, 1, 1}};
  ASSERT_EQ(device->Clear(4, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xAABBCCDDu, 1.0f, 0),
            D3D_OK);
  std::vector<std::uint32_t> expected = expectedFill(6, 5, 0x11223344u, {0, 0, 2, 1}, 0xAABBCCDDu);
  for (std::size_t i : {22u, 23u, 28u, 29u}) expected[i] = 0xAABBCCDDu;
  EXPECT_EQ(renderTargetWords(level.get()), expected);

  EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, rects, D3DCLEAR_TARGET, 0, 0.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, 0x80, 0, 0.0f, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 0.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(renderTargetWords(level.get()), expected) << "refused clears changed nothing";

  Held<IDirect3DSurface9> backBuffer;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, backBuffer.get()), D3D_OK);
}

TEST_F(PixelTransferTest, GetRenderTargetDataCopiesOnlyIntoAMatchingSystemSurface) {
  Held<IDirect3DSurface9> backBuffer;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00C0FFEEu, 0.0f, 0), D3D_OK);
  EXPECT_EQ(renderTargetWords(backBuffer.get()),
            std::vector<std::uint32_t>(std::size_t{kScreenWidth} * kScreenHeight, 0x00C0FFEEu));

  Held<IDirect3DSurface9> small(makeSurface(kScreenWidth, kScreenHeight - 1));
  Held<IDirect3DSurface9> scratch(makeSurface(kScreenWidth, kScreenHeight, D3DPOOL_SCRATCH));
  Held<IDirect3DSurface9> system(makeSurface(kScreenWidth, kScreenHeight));
  Held<IDirect3DSurface9> plainSource(makeSurface(kScreenWidth, kScreenHeight));
  EXPECT_EQ(device->GetRenderTargetData(backBuffer.get(), small.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderTargetData(backBuffer.get(), scratch.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderTargetData(plainSource.get(), system.get()), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderTargetData(backBuffer.get(), nullptr), D3DERR_INVALIDCALL);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(system->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(device->GetRenderTargetData(backBuffer.get(), system.get()), D3DERR_INVALIDCALL);
  ASSERT_EQ(system->UnlockRect(), D3D_OK);
  EXPECT_EQ(words(system.get()),
            std::vector<std::uint32_t>(std::size_t{kScreenWidth} * kScreenHeight, 0));
}

}  // namespace
