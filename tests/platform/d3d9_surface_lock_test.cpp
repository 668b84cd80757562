// Locking: the padded pitch, pixel addressing, the lock rules of a real device
// and the row-padding sentinel.
#include "d3d9_test_device.h"

#include <cstdint>
#include <string>

namespace {

using SurfaceLockTest = DeviceTest;

std::uint32_t wordAt(const D3DLOCKED_RECT& locked, UINT x, UINT y) {
  std::uint32_t word;
  std::memcpy(&word,
              static_cast<const std::uint8_t*>(locked.pBits) +
                  static_cast<std::ptrdiff_t>(y) * locked.Pitch + 4 * x,
              4);
  return word;
}

TEST_F(SurfaceLockTest, PitchIsPaddedForEveryShape) {
  for (auto [width, height] : {std::pair{1u, 1u}, {1u, 7u}, {7u, 1u}, {5u, 3u}, {64u, 64u}}) {
    Held<IDirect3DTexture9> texture(makeTexture(width, height));
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, static_cast<INT>(4 * width) + swd3d::kRowPaddingBytes);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
  }
}

TEST_F(SurfaceLockTest, PixelsAreAddressedThroughPitchAndRectLocksStartAtTheirCorner) {
  Held<IDirect3DTexture9> texture(makeTexture(5, 3));
  Held<IDirect3DSurface9> surface;
  ASSERT_EQ(texture->GetSurfaceLevel(0, surface.out()), D3D_OK);
  D3DLOCKED_RECT whole{};
  ASSERT_EQ(surface->LockRect(&whole, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < 3; ++y) {
    for (UINT x = 0; x < 5; ++x) {
      const std::uint32_t word = 0xFF000000u | (y << 8) | x;
      std::memcpy(static_cast<std::uint8_t*>(whole.pBits) +
                      static_cast<std::ptrdiff_t>(y) * whole.Pitch + 4 * x,
                  &word, 4);
    }
  }
  ASSERT_EQ(surface->UnlockRect(), D3D_OK);

  const RECT rect{2, 1, 5, 3};
  D3DLOCKED_RECT part{};
  ASSERT_EQ(surface->LockRect(&part, &rect, 0), D3D_OK);
  EXPECT_EQ(part.Pitch, whole.Pitch);
  EXPECT_EQ(part.pBits, static_cast<std::uint8_t*>(whole.pBits) + whole.Pitch + 8);
  EXPECT_EQ(wordAt(part, 0, 0), 0xFF000102u);
  EXPECT_EQ(wordAt(part, 2, 1), 0xFF000204u);
  ASSERT_EQ(surface->UnlockRect(), D3D_OK);
  EXPECT_EQ(words(surface.get())[5 * 2 + 4], 0xFF000204u);
}

TEST_F(SurfaceLockTest, ASurfaceLocksOnceAndUnlocksOnlyWhenLocked) {
  Held<IDirect3DTexture9> texture(makeTexture(4, 4));
  Held<IDirect3DSurface9> surface;
  ASSERT_EQ(texture->GetSurfaceLevel(0, surface.out()), D3D_OK);
  D3DLOCKED_RECT locked{};
  EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL);
  ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 1);
  // The texture and its level surface are one lock.
  EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL);
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0);
  EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(surface->LockRect(nullptr, nullptr, 0), D3DERR_INVALIDCALL);
}

TEST_F(SurfaceLockTest, VideoMemoryTargetsCannotBeLocked) {
  D3DLOCKED_RECT locked{};
  Held<IDirect3DTexture9> target(makeTexture(4, 4, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT));
  Held<IDirect3DTexture9> staticTexture(makeTexture(4, 4, 0, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> backBuffer, depth, plainTarget;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.out()), D3D_OK);
  ASSERT_EQ(device->GetDepthStencilSurface(depth.out()), D3D_OK);
  ASSERT_EQ(device->CreateRenderTarget(4, 4, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                       plainTarget.out(), nullptr),
            D3D_OK);
  EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(locked.pBits, nullptr);
  EXPECT_EQ(staticTexture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  for (IDirect3DSurface9* surface : {backBuffer.get(), depth.get(), plainTarget.get()}) {
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  }
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0);

  // What a real device lets the program lock.
  Held<IDirect3DTexture9> dynamic(makeTexture(4, 4, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT));
  Held<IDirect3DSurface9> lockableTarget, scratch(makeSurface(4, 4, D3DPOOL_SCRATCH));
  ASSERT_EQ(device->CreateRenderTarget(4, 4, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                       lockableTarget.out(), nullptr),
            D3D_OK);
  EXPECT_EQ(dynamic->LockRect(0, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(dynamic->UnlockRect(0), D3D_OK);
  for (IDirect3DSurface9* surface : {lockableTarget.get(), scratch.get()}) {
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(surface->UnlockRect(), D3D_OK);
  }
}

TEST_F(SurfaceLockTest, InvalidRectanglesAreRefused) {
  Held<IDirect3DSurface9> surface(makeSurface(6, 3));
  const RECT refused[] = {
      {1, 1, 1, 2},              // empty
      {3, 1, 1, 2},              // inverted
      {0, 0, 7, 3},              // past the right edge
      {0, 2, 6, 4},              // past the bottom
      {-1, 0, 2, 2},             // before the left edge
      {0, 0, INT32_MAX, 1},        // huge
      {INT32_MIN, 0, INT32_MAX, 1},
  };
  for (const RECT& rect : refused) {
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, &rect, 0), D3DERR_INVALIDCALL)
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    EXPECT_EQ(locked.pBits, nullptr);
  }
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0);
  const RECT lastPixel{5, 2, 6, 3};
  D3DLOCKED_RECT locked{};
  EXPECT_EQ(surface->LockRect(&locked, &lastPixel, 0), D3D_OK);
  EXPECT_EQ(surface->UnlockRect(), D3D_OK);
}

TEST_F(SurfaceLockTest, AByteWrittenPastARowIsCaughtAtUnlockAndNamed) {
  Held<IDirect3DTexture9> texture(makeTexture(3, 4));
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  // Writing every pixel, and copying the whole pitch back as it was, is fine.
  std::vector<std::uint8_t> copy(static_cast<std::size_t>(locked.Pitch) * 4);
  std::memcpy(copy.data(), locked.pBits, copy.size());
  std::memset(locked.pBits, 0x7F, 12);
  std::memcpy(locked.pBits, copy.data(), copy.size());
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(swd3d::paddingViolations(), 0);

  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  static_cast<std::uint8_t*>(locked.pBits)[2 * locked.Pitch + 12] ^= 0xFF;  // row 2, one past
  testing::internal::CaptureStderr();
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_EQ(swd3d::paddingViolations(), 1);
  EXPECT_NE(message.find("tex1.level0"), std::string::npos) << message;
  EXPECT_NE(message.find("row 2"), std::string::npos) << message;

  // The padding was put back: the next clean unlock counts nothing.
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(swd3d::paddingViolations(), 1);

  // A rectangle that ends at the right edge guards its rows' padding too.
  const RECT lastColumn{2, 1, 3, 3};
  ASSERT_EQ(texture->LockRect(0, &locked, &lastColumn, 0), D3D_OK);
  static_cast<std::uint8_t*>(locked.pBits)[locked.Pitch + 4] ^= 0x01;
  testing::internal::CaptureStderr();
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(swd3d::paddingViolations(), 2);
  expectedPaddingViolations = 2;
}

}  // namespace
