// The image lock: opening, making, locking and the clean-up on every way out;
// the padded pitch; each Direct3D failure reaching its fatal message.
#include "host_fixture.h"

#include "host/host_link.h"
#include "image/image_lock.h"

#include <stdexcept>

namespace {

using tessaly::ImageLock;
using ::testing::ExitedWithCode;

class ImageLockTest : public HostFixture {};

TEST_F(ImageLockTest, OpeningANumberInNoUseSetsError502) {
  for (int number : {0, -1, 5, INT32_MIN}) {
    ImageLock lock;
    EXPECT_FALSE(lock.openImage(number)) << number;
    EXPECT_EQ(lock.texture, nullptr);
    EXPECT_EQ(lock.surface, nullptr);
    EXPECT_EQ(host->runtimeError(), 502);
    host->clearRuntimeError();
  }
}

TEST_F(ImageLockTest, OpenDescribesTheLevelZeroSurface) {
  makePlain(3, 7, 5, {0});
  ImageLock lock;
  ASSERT_TRUE(lock.openImage(3));
  EXPECT_EQ(lock.texture, host->image(3));
  EXPECT_EQ(lock.desc.Width, 7u);
  EXPECT_EQ(lock.desc.Height, 5u);
  EXPECT_EQ(lock.desc.Usage, 0u);
  EXPECT_TRUE(lock.isPlain());
  EXPECT_FALSE(lock.isRenderTarget());
}

TEST_F(ImageLockTest, PixelsAreFoundThroughThePaddedPitch) {
  std::vector<std::uint32_t> words(6 * 4);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = 0x01000000u * static_cast<unsigned>(i) + static_cast<unsigned>(i);
  makePlain(1, 6, 4, words);
  ImageLock lock;
  ASSERT_TRUE(lock.openImage(1));
  lock.lock(nullptr);
  const tessaly::PixelRect pixels = lock.pixels();
  EXPECT_GT(pixels.pitch, 4 * 6);
  for (std::uint32_t y = 0; y < 4; ++y) {
    for (std::uint32_t x = 0; x < 6; ++x) {
      EXPECT_EQ(tessaly::loadPixel(static_cast<std::uint8_t*>(lock.lockedRect.pBits) +
                                   y * static_cast<std::uint32_t>(lock.lockedRect.Pitch) + 4 * x),
                words[y * 6 + x]);
    }
  }
  lock.unlockAndRelease();
  EXPECT_EQ(lock.surface, nullptr);
  lock.releaseSurface();  // twice is harmless
}

TEST_F(ImageLockTest, ALockLeftOpenIsUnlockedAndReleasedOnTheWayOut) {
  makePlain(1, 4, 4, {0xFF102030});
  {
    ImageLock lock;
    ASSERT_TRUE(lock.openImage(1));
    lock.lock(nullptr);
    EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 1);
  }
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0);

  // The same when an exception passes through.
  try {
    ImageLock lock;
    ASSERT_TRUE(lock.openImage(1));
    lock.lock(nullptr);
    throw std::runtime_error("leaving early");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0);

  // And the surface can be locked again afterwards.
  ImageLock again;
  ASSERT_TRUE(again.openImage(1));
  again.lock(nullptr);
  again.unlockAndRelease();
}

TEST_F(ImageLockTest, ARectangleLockStartsAtItsTopLeftPixel) {
  std::vector<std::uint32_t> words(5 * 5);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint32_t>(i);
  makePlain(1, 5, 5, words);
  ImageLock lock;
  ASSERT_TRUE(lock.openImage(1));
  const RECT rect{2, 3, 4, 5};
  lock.lock(&rect);
  EXPECT_EQ(tessaly::loadPixel(static_cast<std::uint8_t*>(lock.lockedRect.pBits)), 3u * 5 + 2);
  EXPECT_EQ(tessaly::loadPixel(static_cast<std::uint8_t*>(lock.lockedRect.pBits) + lock.lockedRect.Pitch + 4),
            4u * 5 + 3);
}

TEST_F(ImageLockTest, MakeRefusesNumbersZeroAndBelowAndTouchesNothing) {
  makePlain(1, 2, 2, {7});
  for (int number : {0, -1, INT32_MIN}) {
    ImageLock lock;
    EXPECT_FALSE(lock.makeImage(number, 4, 4));
    EXPECT_FALSE(lock.makeTargetImage(number, 4, 4));
    EXPECT_EQ(host->runtimeError(), 502);
    host->clearRuntimeError();
  }
  EXPECT_EQ(host->imageNumbers(), std::vector<int>{1});
  EXPECT_EQ(pixels(1), std::vector<std::uint32_t>(4, 7));
}

TEST_F(ImageLockTest, MakeReplacesTheImageUnderANumberInUse) {
  makePlain(2, 3, 3, {1});
  ImageLock lock;
  ASSERT_TRUE(lock.makeImage(2, 8, 6));
  EXPECT_EQ(lock.texture, host->image(2));
  EXPECT_EQ(lock.desc.Width, 8u);
  EXPECT_EQ(lock.desc.Height, 6u);
}

TEST_F(ImageLockTest, AFailedHostMakeReturnsFalseWithoutAnErrorAfterDeleting) {
  makePlain(2, 3, 3, {1});
  ImageLock lock;
  swd3d::failNext(swd3d::Call::CreateTexture);
  EXPECT_FALSE(lock.makeImage(2, 4, 4));
  EXPECT_FALSE(host->imageExists(2));
  EXPECT_EQ(lock.surface, nullptr);
}

TEST_F(ImageLockTest, TheHostsMakeHooksFailOnlyTheCallsAskedFor) {
  host->failingMakeFormatCalls = 1;
  ImageLock internal;
  internal.makeInternal(2, 2);  // the device itself still makes textures
  ImageLock target;
  EXPECT_FALSE(target.makeTargetImage(3, 4, 4));
  EXPECT_FALSE(host->imageExists(3));
  ASSERT_TRUE(target.makeTargetImage(3, 4, 4));
  host->failingMakeCalls = 2;
  ImageLock plain;
  EXPECT_FALSE(plain.makeImage(4, 4, 4));
  EXPECT_FALSE(plain.makeImage(4, 4, 4));
  ASSERT_TRUE(plain.makeImage(4, 4, 4));
  internal.releaseSurface();
  internal.texture->Release();
}

TEST_F(ImageLockTest, RenderTargetsAreMadeAndToldApart) {
  ImageLock target;
  ASSERT_TRUE(target.makeTargetImage(4, 16, 8));
  EXPECT_TRUE(target.isRenderTarget());
  EXPECT_FALSE(target.isPlain());
  target.releaseSurface();

  makePlain(5, 2, 2, {0});
  ASSERT_NE(host->makeImageFormat(6, 2, 2, D3DFMT_A8R8G8B8, D3DUSAGE_DYNAMIC), nullptr);
  EXPECT_EQ(IsTargetImage(4), 1u);
  EXPECT_EQ(IsTargetImage(5), 0u);
  EXPECT_EQ(IsTargetImage(6), 0u) << "usage without the render-target bit";
  EXPECT_EQ(host->runtimeError(), 0);
  EXPECT_EQ(IsTargetImage(9), 0u);
  expectedRuntimeError = 502;
}

TEST_F(ImageLockTest, InternalTexturesAreRenderTargetsTheCommandReleases) {
  ImageLock lock;
  lock.makeInternal(10, 12);
  EXPECT_TRUE(lock.isRenderTarget());
  EXPECT_EQ(lock.desc.Pool, D3DPOOL_DEFAULT);
  EXPECT_EQ(lock.desc.Width, 10u);
  lock.releaseSurface();
  lock.texture->Release();
}

class ImageLockDeathTest : public ImageLockTest {
 protected:
  void expectFatal(swd3d::Call call, void (*step)(), const char* message) {
    makePlain(1, 4, 4, {0});
    EXPECT_EXIT(
        {
          swd3d::failNext(call);
          step();
        },
        ExitedWithCode(1), fatalOutput(message, "Error"));
  }
};

TEST_F(ImageLockDeathTest, EachDirect3DFailureReachesItsFatalMessage) {
  expectFatal(
      swd3d::Call::GetSurfaceLevel, [] { ImageLock().openImage(1); },
      "Could not retrieve surface from image.");
  expectFatal(
      swd3d::Call::GetDesc, [] { ImageLock().openImage(1); },
      "Could not retrieve surface description from image.");
  expectFatal(
      swd3d::Call::CreateTexture, [] { ImageLock().makeInternal(4, 4); },
      "Could not create an internal image.");
  expectFatal(
      swd3d::Call::LockRect,
      [] {
        ImageLock lock;
        lock.openImage(1);
        lock.lock(nullptr);
      },
      "Could not lock image.");
}

}  // namespace
