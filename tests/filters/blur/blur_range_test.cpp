// A blur never makes a pixel brighter than the brightest or darker than the
// darkest input of its line, at any radius; and the recursive Gaussian's
// largest radius is the last at which its recursion is stable.
#include "blur_reference.h"

#include "filters/blur/gaussian_blur.h"
#include "filters/blur/gaussian_coefficients.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace blur_test {
namespace {

const char* name(Kernel k) { return k == Kernel::box ? "box" : k == Kernel::gaussian ? "gaussian" : "binomial"; }

// Lowest and highest byte of each channel over the line that holds pixel
// (x, y) in that direction, or over the whole image for both directions.
struct ChannelRange {
  std::uint8_t lowest[4] = {255, 255, 255, 255};
  std::uint8_t highest[4] = {0, 0, 0, 0};
  void add(TestImage& image, std::uint32_t x, std::uint32_t y) {
    for (int c = 0; c < 4; ++c) {
      lowest[c] = std::min(lowest[c], image.channel(x, y, c));
      highest[c] = std::max(highest[c], image.channel(x, y, c));
    }
  }
};

std::vector<ChannelRange> lineRanges(TestImage& image, Passes passes) {
  const bool rows = passes == Passes::horizontal;
  const std::uint32_t lines = passes == Passes::both ? 1 : rows ? image.height : image.width;
  std::vector<ChannelRange> ranges(lines);
  for (std::uint32_t y = 0; y < image.height; ++y)
    for (std::uint32_t x = 0; x < image.width; ++x)
      ranges[passes == Passes::both ? 0 : rows ? y : x].add(image, x, y);
  return ranges;
}

// Returns the first pixel outside its line's range, or an empty string.
std::string firstOutside(TestImage& image, Passes passes, const std::vector<ChannelRange>& ranges) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const ChannelRange& range = ranges[passes == Passes::both ? 0 : passes == Passes::horizontal ? y : x];
      for (int c = 0; c < 4; ++c) {
        const int v = image.channel(x, y, c);
        if (v < range.lowest[c] || v > range.highest[c]) {
          std::ostringstream out;
          out << "(" << x << ", " << y << ") channel " << c << " = " << v << " outside " << int{range.lowest[c]}
              << " … " << int{range.highest[c]};
          return out.str();
        }
      }
    }
  }
  return {};
}

// Two levels in runs of random length, per channel: the hardest case for an
// overshooting filter, since every line has long flat stretches at its ends.
TestImage twoLevelImage(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint8_t dark, std::uint8_t light) {
  TestImage image(w, h);
  std::uniform_int_distribution<std::uint32_t> run(1, 400);
  for (int c = 0; c < 4; ++c) {
    bool on = rng() % 2 == 0;
    std::uint32_t left = run(rng);
    for (std::uint32_t y = 0; y < h; ++y)
      for (std::uint32_t x = 0; x < w; ++x) {
        if (--left == 0) {
          on = !on;
          left = run(rng);
        }
        image.channel(x, y, c) = on ? light : dark;
      }
  }
  return image;
}

TEST(BlurRange, EveryOutputLiesWithinItsLinesInputRange) {
  std::mt19937 rng(11);
  // The recursive Gaussian overshoots from about radius 205 on; the box and
  // binomial means cannot, and are checked at fewer radii.
  const std::vector<std::int32_t> gaussianRadii = {1, 60, 205, 210, 300, 500, 729, 730, 1300, INT_MAX};
  const std::vector<std::int32_t> meanRadii = {1, 60, 4000, INT_MAX};
  // Long lines in groups that fill the vector kernels (with one line left
  // over for the plain one), and short lines of every kind.
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{5000, 17}, {17, 5000}, {1, 1}, {1, 3}, {3, 1},
                                                          {1000, 3}, {3, 1000}, {257, 5}};
  for (auto [w, h] : sizes) {
    for (int image = 0; image < 3; ++image) {
      const TestImage original = image == 0   ? twoLevelImage(w, h, rng, 0, 255)
                                 : image == 1 ? twoLevelImage(w, h, rng, 40, 200)
                                              : randomImage(w, h, rng);
      for (Kernel kernel : {Kernel::box, Kernel::gaussian, Kernel::binomial}) {
        for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
          for (std::int32_t r : kernel == Kernel::gaussian ? gaussianRadii : meanRadii) {
            TestImage blurred = original;
            const auto ranges = lineRanges(blurred, passes);
            realBlur(blurred, kernel, passes, r);
            const std::string outside = firstOutside(blurred, passes, ranges);
            ASSERT_EQ(outside, "") << name(kernel) << " " << static_cast<int>(passes) << " " << w << "x" << h
                                   << " r=" << r << " image " << image;
          }
        }
      }
    }
  }
}

// The line that showed the fault: black then white, 3000 pixels. White stays
// white at the far end, black at the near one, the halves stay apart, and the
// edge between them rises with no dip deeper than the float noise of one step.
TEST(BlurRange, GaussianStepStaysAStepAtLargeRadii) {
  for (std::int32_t r : {210, 500, 729, 1300}) {
    TestImage image(3000, 1);
    for (std::uint32_t x = 0; x < 3000; ++x)
      for (int c = 0; c < 4; ++c) image.channel(x, 0, c) = x < 1500 ? 0 : 255;
    realBlur(image, Kernel::gaussian, Passes::horizontal, r);
    EXPECT_EQ(image.channel(0, 0, 0), 0) << r;
    EXPECT_EQ(image.channel(2999, 0, 0), 255) << r;
    for (std::uint32_t x = 1; x < 3000; ++x) {
      const int v = image.channel(x, 0, 0);
      ASSERT_GE(v, image.channel(x - 1, 0, 0) - 1) << "x=" << x << " r=" << r;
      if (x < 1450) {
        ASSERT_LE(v, 127) << "x=" << x << " r=" << r;
      }
      if (x >= 1550) {
        ASSERT_GE(v, 128) << "x=" << x << " r=" << r;
      }
    }
  }
}

// Where the float recursion overshoots, every instruction set limits the
// results exactly as the reference does.
TEST(BlurRange, GaussianLimitsMatchTheReferenceWithEveryInstructionSet) {
  std::mt19937 rng(13);
  for (tessaly::simd::InstructionSet set : plugin_test_hooks::kEveryInstructionSet) {
    plugin_test_hooks::useInstructionSet(set);
    for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
      for (std::int32_t r : {210, 500, 729}) {
        const bool across = passes == Passes::horizontal;
        TestImage real = twoLevelImage(across ? 3000 : 35, across ? 35 : 3000, rng, 0, 255);
        TestImage expected = real;
        referenceBlur(expected, Kernel::gaussian, passes, r);
        realBlur(real, Kernel::gaussian, passes, r);
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes())
            << static_cast<int>(passes) << " r=" << r << " (" << plugin_test_hooks::name(set) << ")";
      }
    }
  }
  plugin_test_hooks::useInstructionSet(tessaly::simd::InstructionSet::avx512);
}

// Jury's test for b0·z³ − b1·z² − b2·z − b3 (b0 > 0): every root lies inside
// the unit circle exactly when these four hold. The products of floats are
// exact in long double, and the margins are far from its rounding.
bool recursionIsStable(const tessaly::GaussianCoefficients& k) {
  const long double b0 = k.b0, b1 = k.b1, b2 = k.b2, b3 = k.b3;
  return b0 - b1 - b2 - b3 > 0 &&                          // at z = 1
         -b0 - b1 + b2 - b3 < 0 &&                         // at z = −1
         std::fabs(b3) < b0 &&                             // the product of the roots
         std::fabs(b0 * b0 - b3 * b3) > std::fabs(b1 * b3 + b0 * b2);
}

TEST(GaussianStability, TheLargestRadiusIsTheLastStableOne) {
  for (std::int32_t r = 1; r <= tessaly::kGaussianMaxRadius; ++r)
    ASSERT_TRUE(recursionIsStable(tessaly::gaussianCoefficients(r))) << "r=" << r;
  EXPECT_FALSE(recursionIsStable(tessaly::gaussianCoefficients(tessaly::kGaussianMaxRadius + 1)));
}

// Larger radii blur as the largest does, on every path (vector blocks and the
// lines left over).
TEST(GaussianStability, LargerRadiiBlurAsTheLargest) {
  std::mt19937 rng(12);
  for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
    const TestImage original = twoLevelImage(45, 1203, rng, 10, 250);
    TestImage largest = original;
    realBlur(largest, Kernel::gaussian, passes, tessaly::kGaussianMaxRadius);
    for (std::int32_t r : {tessaly::kGaussianMaxRadius + 1, 100000, INT_MAX}) {
      TestImage blurred = original;
      realBlur(blurred, Kernel::gaussian, passes, r);
      EXPECT_EQ(blurred.pixelBytes(), largest.pixelBytes()) << static_cast<int>(passes) << " r=" << r;
    }
  }
}

}  // namespace
}  // namespace blur_test
