// The flip kernels on plain memory: against the reference loops on random
// images of awkward sizes and padded rows, and the identities between them.
#include "filters/geometry/geometry_reference.h"

#include "filters/geometry/flip_kernels.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <utility>

namespace filter_test {
namespace {

using plugin_test_hooks::forEveryInstructionSet;

using Flip = void (*)(const tessaly::PixelRect&);
using ReferenceFlip = void (*)(TestImage&);

struct FlipCase {
  const char* name;
  Flip flip;
  ReferenceFlip reference;
};

const FlipCase kFlips[] = {{"horizontal", tessaly::flipHorizontally, referenceFlipHorizontally},
                           {"vertical", tessaly::flipVertically, referenceFlipVertically},
                           {"both", tessaly::flipBoth, referenceFlipBoth}};

const std::pair<std::uint32_t, std::uint32_t> kSizes[] = {
    {1, 1}, {1, 2}, {2, 1}, {1, 67}, {67, 1}, {2, 2}, {3, 3}, {3, 5}, {8, 8}, {13, 7}, {7, 13},
    {16, 9}, {31, 17}, {32, 2}, {33, 2}, {47, 3}, {64, 3}, {101, 37}, {257, 4}};

TEST(FlipKernels, MatchReferenceOnAwkwardSizesAndPitches) {
  std::mt19937 rng(10);
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    for (const FlipCase& c : kFlips) {
      for (auto [w, h] : kSizes) {
        for (std::uint32_t padding : {0u, 4u, 12u, 64u}) {
          TestImage real = randomImage(w, h, rng, padding);
          TestImage expected = real;
          c.reference(expected);
          c.flip(real.rect());
          ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << c.name << " " << w << "x" << h << " +" << padding;
          ASSERT_TRUE(real.paddingIntact()) << c.name << " " << w << "x" << h;
        }
      }
    }
  });
}

TEST(FlipKernels, TwiceRestoresAndBothIsHorizontalThenVertical) {
  std::mt19937 rng(11);
  for (auto [w, h] : kSizes) {
    const TestImage original = randomImage(w, h, rng);
    for (const FlipCase& c : kFlips) {
      TestImage image = original;
      c.flip(image.rect());
      c.flip(image.rect());
      EXPECT_EQ(image.pixelBytes(), original.pixelBytes()) << c.name << " " << w << "x" << h;
    }
    TestImage both = original;
    TestImage inTurn = original;
    tessaly::flipBoth(both.rect());
    tessaly::flipHorizontally(inTurn.rect());
    tessaly::flipVertically(inTurn.rect());
    EXPECT_EQ(both.pixelBytes(), inTurn.pixelBytes()) << w << "x" << h;
  }
}

TEST(FlipKernels, ALineAlongTheFlipIsUnchanged) {
  std::mt19937 rng(12);
  const TestImage column = randomImage(1, 9, rng);
  TestImage image = column;
  tessaly::flipHorizontally(image.rect());
  EXPECT_EQ(image.pixelBytes(), column.pixelBytes());
  const TestImage row = randomImage(9, 1, rng);
  image = row;
  tessaly::flipVertically(image.rect());
  EXPECT_EQ(image.pixelBytes(), row.pixelBytes());
}

}  // namespace
}  // namespace filter_test
