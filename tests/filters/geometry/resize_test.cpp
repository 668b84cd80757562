// The resize of a plain image through the stand-in host: both modes against
// the reference loops on awkward sizes, the worked identities, and the user's
// image kept whenever the new one cannot be made.
#include "filters/geometry/geometry_reference.h"
#include "host_fixture.h"

#include "filters/geometry/resize_in_memory.h"
#include "plugin_test_hooks.h"

#include <climits>
#include <utility>

namespace filter_test {
namespace {

using plugin_test_hooks::forEveryInstructionSet;

class Resize : public HostFixture {
 protected:
  Words makeRandom(int number, std::uint32_t w, std::uint32_t h) {
    Words words = randomWords(w, h, rng);
    makePlain(number, w, h, words.pixels);
    return words;
  }
  void resize(int number, DWORD width, DWORD height, DWORD mode) {
    tessaly::ImageLock lock;
    ASSERT_TRUE(lock.openImage(number));
    tessaly::resizePlainImage(lock, number, width, height, mode);
  }
  Words image(int number) {
    auto read = standin::readPixels(host->device(), host->image(number));
    return read ? Words{read->width, read->height, read->words} : Words{};
  }

  std::mt19937 rng{40};
};

using Size = std::pair<std::uint32_t, std::uint32_t>;

const Size kOldSizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 5}, {13, 7}, {31, 17}, {45, 3}};

// To 1 x 1, the same size, twice, up and down by factors that are no
// integers, and to lines.
std::vector<Size> newSizes(Size old) {
  auto [w, h] = old;
  return {{1, 1}, {w, h}, {2 * w, 2 * h}, {w * 17 / 10 + 1, h * 13 / 10 + 1}, {w * 6 / 10 + 1, h * 7 / 10 + 1},
          {w + 1, h}, {w, h + 2}, {1, 2 * h + 3}, {3 * w + 2, 1}};
}

TEST_F(Resize, BothModesMatchReferenceOnAwkwardSizes) {
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    for (Size old : kOldSizes) {
      for (Size to : newSizes(old)) {
        for (DWORD mode : {0u, 1u}) {
          const Words before = makeRandom(1, old.first, old.second);
          const Words expected = mode == 0 ? referenceResizeNearest(before, to.first, to.second)
                                           : referenceResizeBilinear(before, to.first, to.second);
          resize(1, to.first, to.second, mode);
          ASSERT_EQ(image(1), expected) << "mode " << mode << " " << old.first << "x" << old.second << " to "
                                        << to.first << "x" << to.second;
        }
      }
    }
  });
}

// Lines past the strip of columns the kernels plan at once, and lines so
// long that the sums of the column walk no longer fit 32 bits.
TEST_F(Resize, BothModesMatchReferenceOnVeryWideImages) {
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    const struct {
      Size from, to;
    } cases[] = {{{37, 3}, {16384, 2}}, {{16384, 2}, {7, 3}}, {{4099, 2}, {4097, 3}}, {{5000, 1}, {16384, 1}},
                 // x * W passes 2^32: the column walk must not wrap.
                 {{65537, 1}, {65539, 2}}};
    for (const auto& c : cases) {
      for (DWORD mode : {0u, 1u}) {
        const Words before = makeRandom(1, c.from.first, c.from.second);
        const Words expected = mode == 0 ? referenceResizeNearest(before, c.to.first, c.to.second)
                                         : referenceResizeBilinear(before, c.to.first, c.to.second);
        resize(1, c.to.first, c.to.second, mode);
        ASSERT_EQ(image(1), expected) << "mode " << mode << " to " << c.to.first << "x" << c.to.second;
      }
    }
  });
}

TEST_F(Resize, NearestTwiceRepeatsEachPixelAndSameSizeCopies) {
  const Words before = makeRandom(1, 5, 3);
  resize(1, 10, 6, 0);
  const Words twice = image(1);
  for (std::uint32_t y = 0; y < 6; ++y)
    for (std::uint32_t x = 0; x < 10; ++x) ASSERT_EQ(twice.at(x, y), before.at(x / 2, y / 2)) << x << ", " << y;
  const Words again = makeRandom(2, 9, 4);
  resize(2, 9, 4, 0);
  EXPECT_EQ(image(2), again);
}

// At the same size fx = x - 0.5: pixel (0, 0) stays, the others are the
// truncated means of two or four pixels.
TEST_F(Resize, BilinearAtTheSameSizeAveragesWithTheLeftAndUpperNeighbours) {
  makePlain(1, 2, 2, {0x10203040, 0x30405061, 0x50607080, 0xFF0000FF});
  resize(1, 2, 2, 1);
  EXPECT_EQ(image(1).pixels, (std::vector<std::uint32_t>{0x10203040, 0x20304050, 0x30405060, 0x63303C88}));
}

// Any mode but 1 resizes as mode 0 does.
TEST_F(Resize, AnUnknownModeActsAsNearest) {
  for (DWORD mode : {2u, 7u, 0xFFFFFFFFu}) {
    const Words before = makeRandom(1, 6, 5);
    resize(1, 14, 3, mode);
    EXPECT_EQ(image(1), referenceResizeNearest(before, 14, 3)) << mode;
  }
}

TEST_F(Resize, WhenTheNewImageCannotBeMadeTheOldOneIsKept) {
  const Words before = makeRandom(3, 9, 7);
  for (DWORD mode : {0u, 1u}) {
    host->failingMakeCalls = 1;
    resize(3, 20, 20, mode);
    EXPECT_EQ(host->failingMakeCalls, 0);
    EXPECT_EQ(image(3), before) << mode;
  }
}

// Sizes no image can have are refused before the host is asked for anything.
TEST_F(Resize, ImpossibleSizesLeaveTheImageAsItIs) {
  const Words before = makeRandom(1, 4, 3);
  const Size sizes[] = {{0, 5}, {5, 0}, {0, 0}, {0x80000000u, 1}, {1, 0xFFFFFFFFu}, {65536, 16384}, {0x40000000u, 1}};
  for (Size s : sizes) {
    host->failingMakeCalls = 1;
    resize(1, s.first, s.second, 1);
    EXPECT_EQ(host->failingMakeCalls, 1) << s.first << "x" << s.second;
    EXPECT_EQ(image(1), before) << s.first << "x" << s.second;
  }
  host->failingMakeCalls = 0;
}

}  // namespace
}  // namespace filter_test
