// The nine blur passes on plain memory: byte for byte against the reference
// loops on random images of awkward sizes and padded rows, the worked values,
// and the memory failure.
#include "blur_reference.h"

#include "filters/blur/binomial_blur.h"
#include "filters/blur/blur_arithmetic.h"
#include "filters/blur/box_blur.h"
#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/box_divisors.h"
#include "filters/blur/gaussian_blur.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <tuple>

namespace blur_test {
namespace {

using tessaly::PixelRect;

const char* name(Kernel k) { return k == Kernel::box ? "box" : k == Kernel::gaussian ? "gaussian" : "binomial"; }
const char* name(Passes p) { return p == Passes::horizontal ? "horizontal" : p == Passes::vertical ? "vertical" : "both"; }
using plugin_test_hooks::kEveryInstructionSet;
using plugin_test_hooks::useInstructionSet;
using tessaly::simd::InstructionSet;


// Every kernel and direction form, against the reference, at every radius
// given, with every kernel set.
void expectMatchesReference(std::uint32_t w, std::uint32_t h, const std::vector<std::int32_t>& radii,
                            std::mt19937& rng, std::uint32_t padding = 12) {
  for (InstructionSet set : kEveryInstructionSet) {
  useInstructionSet(set);
  for (Kernel kernel : {Kernel::box, Kernel::gaussian, Kernel::binomial}) {
    for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
      for (std::int32_t r : radii) {
        TestImage real = randomImage(w, h, rng, padding);
        TestImage expected = real;
        referenceBlur(expected, kernel, passes, r);
        realBlur(real, kernel, passes, r);
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes())
            << name(kernel) << " " << name(passes) << " " << w << "x" << h << " r=" << r
            << " (" << plugin_test_hooks::name(set) << ")";
        ASSERT_TRUE(real.paddingIntact()) << name(kernel) << " " << name(passes) << " r=" << r;
      }
    }
  }
  }
  useInstructionSet(InstructionSet::avx512);
}

// Narrowing the instruction set really changes the kernels the passes use,
// so the tests above run every set the processor has.
TEST(BlurKernelChoice, EachSetTheProcessorRunsHasItsOwnTable) {
  using tessaly::blurKernels;
  const InstructionSet processor = tessaly::simd::processorInstructionSet();
  useInstructionSet(InstructionSet::sse2);
  const tessaly::BlurKernelSet& sse2 = blurKernels();
  EXPECT_EQ(sse2.chunk, 16u);
  useInstructionSet(InstructionSet::avx2);
  const tessaly::BlurKernelSet& avx2 = blurKernels();
  EXPECT_EQ(avx2.chunk, processor >= InstructionSet::avx2 ? 32u : 16u);
  useInstructionSet(InstructionSet::avx512);
  const tessaly::BlurKernelSet& avx512 = blurKernels();
  EXPECT_EQ(&avx512 != &avx2, processor == InstructionSet::avx512);
  if (processor == InstructionSet::avx512) {
    EXPECT_NE(avx512.gaussianBlock, avx2.gaussianBlock);
    EXPECT_EQ(avx512.boxRow16, avx2.boxRow16);
  }
}

std::vector<std::int32_t> radiiFor(std::uint32_t w, std::uint32_t h) {
  const auto n = static_cast<std::int32_t>(std::max(w, h));
  return {1, 2, 3, 7, 8, n - 1, n, n + 1, 2 * n + 3, INT_MAX};
}

TEST(BlurPasses, MatchReferenceOnDegenerateAndPrimeSizes) {
  std::mt19937 rng(1);
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 5},
                                                          {13, 7}, {7, 13}, {31, 17}, {1, 67}, {67, 1}};
  for (auto [w, h] : sizes) expectMatchesReference(w, h, radiiFor(w, h), rng);
}

TEST(BlurPasses, MatchReferenceOnWiderImagesAndPitches) {
  std::mt19937 rng(2);
  expectMatchesReference(101, 37, {1, 4, 5, 12, 13, 36, 50, 100, 101}, rng, 4);
  expectMatchesReference(37, 101, {1, 6, 22, 23, 29}, rng, 64);
  expectMatchesReference(64, 64, {1, 2, 15, 16, 63}, rng, 0);
}

// Windows wider than 16-bit sums allow, and lines long enough for counts past
// the float reciprocal's range.
TEST(BlurPasses, BoxWithLargeWindows) {
  std::mt19937 rng(7);
  expectMatchesReference(400, 9, {92, 93, 100, 250, 399}, rng);
  expectMatchesReference(9, 400, {93, 300}, rng);
  for (InstructionSet set : kEveryInstructionSet) {
    useInstructionSet(set);
    for (Passes passes : {Passes::horizontal, Passes::vertical}) {
      const bool across = passes == Passes::horizontal;
      TestImage real = randomImage(across ? 20000 : 3, across ? 3 : 20000, rng);
      TestImage expected = real;
      referenceBlur(expected, Kernel::box, passes, 9000);
      realBlur(real, Kernel::box, passes, 9000);
      EXPECT_EQ(real.pixelBytes(), expected.pixelBytes());
    }
  }
  useInstructionSet(InstructionSet::avx512);
}

TEST(BlurPasses, BinomialStaysExactUpToItsLargestRadius) {
  std::mt19937 rng(3);
  expectMatchesReference(150, 3, {21, 22, 23, 27, 28, 29, 40, 59, 60, 61, 1000}, rng);
  expectMatchesReference(3, 150, {28, 60}, rng);
}

// Radius 5 … 12 sums 16-bit pairs of taps into 32-bit lanes (directly up to
// radius 8, after 16-bit first sums above), and radius 13 … 22 sums those of
// radius 12 on in doubles: every radius of these forms and their neighbours, on lines shorter than the kernel, about as
// long, and long enough for a middle, in sizes that leave partial chunks and
// columns to gather; and the largest sums, which white gives.
TEST(BlurPasses, BinomialPairedRadiiMatchReference) {
  std::mt19937 rng(9);
  std::vector<std::int32_t> radii;
  for (std::int32_t r = 4; r <= 23; ++r) radii.push_back(r);
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{2, 3}, {6, 11}, {17, 13}, {13, 17}, {35, 9}, {9, 35}, {70, 41}};
  std::uint32_t padding = 0;
  for (auto [w, h] : sizes) {
    expectMatchesReference(w, h, radii, rng, padding);
    padding += 4;
  }
  for (InstructionSet set : kEveryInstructionSet) {
    useInstructionSet(set);
    for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
      for (std::int32_t r = 5; r <= 22; ++r) {
        TestImage image(40, 37);
        for (std::uint32_t y = 0; y < image.height; ++y)
          for (std::uint32_t x = 0; x < image.width; ++x)
            for (int c = 0; c < 4; ++c) image.channel(x, y, c) = 255;
        const auto before = image.pixelBytes();
        realBlur(image, Kernel::binomial, passes, r);
        ASSERT_EQ(image.pixelBytes(), before) << name(passes) << " r=" << r << " (" << plugin_test_hooks::name(set) << ")";
      }
    }
  }
  useInstructionSet(InstructionSet::avx512);
}

// Stripes of v and v + 1 put half of every window's weight on each value
// (the odd binomial coefficients sum to half the total), so every output away
// from the ends is an exact tie: above radius 22 the double-precision sums
// cannot decide these and the exact path must.
TEST(BlurPasses, BinomialTiesAreRoundedUpExactly) {
  std::mt19937 rng(8);
  for (std::int32_t r : {5, 8, 23, 40, 60}) {
    for (InstructionSet set : kEveryInstructionSet) {
      useInstructionSet(set);
      for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
        TestImage real(130, 131);
        for (std::uint32_t y = 0; y < real.height; ++y) {
          for (std::uint32_t x = 0; x < real.width; ++x) {
            for (int c = 0; c < 4; ++c)
              real.channel(x, y, c) = static_cast<std::uint8_t>(100 + 50 * c + ((x + y) & 1) + (c == 3 ? rng() % 2 : 0));
          }
        }
        TestImage expected = real;
        referenceBlur(expected, Kernel::binomial, passes, r);
        realBlur(real, Kernel::binomial, passes, r);
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << name(passes) << " r=" << r;
        if (passes == Passes::horizontal) {
          EXPECT_EQ(real.channel(65, 7, 0), 101);  // 100.5 rounds up
        }
      }
    }
  }
  useInstructionSet(InstructionSet::avx512);
}

TEST(BlurPasses, RandomSizesAndRadii) {
  std::mt19937 rng(4);
  std::uniform_int_distribution<std::uint32_t> size(1, 90);
  for (int round = 0; round < 12; ++round) {
    const std::uint32_t w = size(rng), h = size(rng);
    std::uniform_int_distribution<std::int32_t> radius(1, static_cast<std::int32_t>(std::max(w, h)) + 2);
    expectMatchesReference(w, h, {radius(rng), radius(rng)}, rng, 4 * (round % 5));
  }
}

// One channel of a one-row image through a horizontal pass.
std::vector<int> blurRow(Kernel kernel, const std::vector<int>& row, std::int32_t r) {
  TestImage image(static_cast<std::uint32_t>(row.size()), 1);
  for (std::uint32_t x = 0; x < row.size(); ++x)
    for (int c = 0; c < 4; ++c) image.channel(x, 0, c) = static_cast<std::uint8_t>(row[x]);
  realBlur(image, kernel, Passes::horizontal, r);
  std::vector<int> out;
  for (std::uint32_t x = 0; x < row.size(); ++x) out.push_back(image.channel(x, 0, 2));
  return out;
}

TEST(BlurPasses, WorkedValues) {
  using V = std::vector<int>;
  EXPECT_EQ(blurRow(Kernel::box, {0, 0, 255, 0, 0}, 1), (V{0, 85, 85, 85, 0}));
  EXPECT_EQ(blurRow(Kernel::box, {0, 1}, 1), (V{1, 1}));  // a mean of exactly 0.5 rounds up
  EXPECT_EQ(blurRow(Kernel::box, {10, 20, 31, 0, 0, 0}, 2), (V{20, 15, 12, 10, 8, 0}));
  EXPECT_EQ(blurRow(Kernel::box, {1, 2, 4, 9}, 3), (V{4, 4, 4, 4}));  // r = W - 1: the row's mean
  EXPECT_EQ(blurRow(Kernel::box, {1, 2, 4, 9}, INT_MAX), (V{4, 4, 4, 4}));
  EXPECT_EQ(blurRow(Kernel::binomial, {0, 0, 255, 0, 0}, 1), (V{0, 64, 128, 64, 0}));
  EXPECT_EQ(blurRow(Kernel::binomial, {200, 7}, 1), (V{136, 71}));  // (2·200 + 7) / 3 = 135.67
  for (Kernel k : {Kernel::box, Kernel::gaussian, Kernel::binomial}) {
    EXPECT_EQ(blurRow(k, {77}, 5), (V{77})) << name(k);
  }
}

TEST(BlurPasses, UniformImageIsUnchangedByEveryKernelAndDirection) {
  for (Kernel kernel : {Kernel::box, Kernel::gaussian, Kernel::binomial}) {
    for (Passes passes : {Passes::horizontal, Passes::vertical, Passes::both}) {
      for (std::int32_t r : {1, 7, 8, 60, 100000}) {
        TestImage image(23, 19);
        for (std::uint32_t y = 0; y < 19; ++y)
          for (std::uint32_t x = 0; x < 23; ++x)
            for (int c = 0; c < 4; ++c) image.channel(x, y, c) = static_cast<std::uint8_t>(40 + 60 * c);
        const auto before = image.pixelBytes();
        realBlur(image, kernel, passes, r);
        EXPECT_EQ(image.pixelBytes(), before) << name(kernel) << " " << name(passes) << " r=" << r;
      }
    }
  }
}

TEST(BlurPasses, AlphaIsBlurredLikeTheColours) {
  TestImage image(3, 1);
  for (std::uint32_t x = 0; x < 3; ++x)  // opaque white between transparent black
    for (int c = 0; c < 4; ++c) image.channel(x, 0, c) = x == 1 ? 255 : 0;
  realBlur(image, Kernel::box, Passes::horizontal, 1);
  EXPECT_EQ(image.channel(0, 0, 3), 128);
  EXPECT_EQ(image.channel(1, 0, 3), 85);
}

TEST(BlurPasses, GaussianRadiusSevenAndEightTakeDifferentBranches) {
  // A step blurred at radius 7 and 8 differs, and each matches the reference
  // (which computes q by the two forms); the line's ends keep their values.
  std::vector<int> step(40, 0);
  for (int x = 20; x < 40; ++x) step[static_cast<std::size_t>(x)] = 255;
  const auto r7 = blurRow(Kernel::gaussian, step, 7);
  const auto r8 = blurRow(Kernel::gaussian, step, 8);
  EXPECT_NE(r7, r8);
  EXPECT_EQ(r7.front(), 0);
  EXPECT_EQ(r7.back(), 255);
  EXPECT_LT(r7[19], r8[19]);  // the wider kernel carries more of the step to the left
}

TEST(BlurPasses, RadiusBelowOneDoesNothing) {
  std::mt19937 rng(5);
  for (Kernel kernel : {Kernel::box, Kernel::gaussian, Kernel::binomial}) {
    for (std::int32_t r : {0, -1, INT_MIN}) {
      TestImage image = randomImage(9, 4, rng);
      const auto before = image.pixelBytes();
      realBlur(image, kernel, Passes::both, r);
      EXPECT_EQ(image.pixelBytes(), before);
    }
  }
}

// A pass whose scratch cannot be had shows the memory message under its own
// caption and leaves every pixel as it was.
TEST(BlurPasses, FailedScratchShowsTheMessageAndChangesNothing) {
  std::mt19937 rng(6);
  const std::tuple<Kernel, Passes, std::string> cases[] = {
      {Kernel::box, Passes::horizontal, "Error"},
      {Kernel::box, Passes::vertical, "Error"},
      {Kernel::box, Passes::both, "Error"},
      {Kernel::binomial, Passes::horizontal, "Blur Image - Error"},
      {Kernel::binomial, Passes::vertical, "Blur Image - Error"},
      {Kernel::binomial, Passes::both, "Blur Image - Error"},
  };
  for (const auto& [kernel, passes, caption] : cases) {
    TestImage image = randomImage(17, 11, rng);
    const auto before = image.pixelBytes();
    plugin_test_hooks::failNextAllocation();
    ::testing::internal::CaptureStderr();
    realBlur(image, kernel, passes, 3);
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown, "MessageBox [" + caption + "]: Could not allocate enough memory.\n")
        << name(kernel) << " " << name(passes);
    EXPECT_EQ(image.pixelBytes(), before) << name(kernel) << " " << name(passes);
    // The request is spent: the next pass blurs.
    realBlur(image, kernel, passes, 3);
    EXPECT_NE(image.pixelBytes(), before);
  }
}

// The integer rounded mean equals R(sum / count) in double precision with the
// count held as a float, for every sum of up to 600 bytes.
TEST(BlurArithmetic, RoundedMeanEqualsTheDoubleDivisionExhaustively) {
  for (std::uint32_t count = 1; count <= 600; ++count) {
    const double c = static_cast<float>(count);
    for (std::uint32_t sum = 0; sum <= 255 * count; ++sum) {
      const auto expected = static_cast<std::uint8_t>(static_cast<std::int64_t>(sum / c + 0.5));
      if (tessaly::roundedMean(sum, count) != expected) FAIL() << sum << " / " << count;
    }
  }
}

// The vector kernels' division-free quotients, for every count they are used
// with (the float form up to 600 exhaustively, and at its largest count).
TEST(BlurArithmetic, VectorQuotientsEqualTheRoundedMeanExhaustively) {
  for (std::uint32_t count = 2; count <= tessaly::kShortDivisorMaxCount; ++count) {
    const tessaly::ShortDivisor d = tessaly::shortDivisor(count);
    for (std::uint32_t sum = 0; sum <= 255 * count; ++sum) {
      const std::uint32_t n = sum + count / 2;
      ASSERT_LT(n, 65536u);
      if (((n * d.multiplier) >> 16 >> d.shift) != tessaly::roundedMean(sum, count)) FAIL() << sum << " / " << count;
    }
  }
  auto checkFloat = [](std::uint32_t count) {
    const float reciprocal = tessaly::reciprocalRoundedUp(count);
    for (std::uint32_t sum = 0; sum <= 255 * count; ++sum) {
      const float product = static_cast<float>(sum + count / 2) * reciprocal;
      if (static_cast<std::uint32_t>(product) != tessaly::roundedMean(sum, count)) return false;
    }
    return true;
  };
  for (std::uint32_t count = 2; count <= 600; ++count) ASSERT_TRUE(checkFloat(count)) << count;
  for (std::uint32_t count : {4095u, 8191u, 12345u, 16383u, 16384u}) ASSERT_TRUE(checkFloat(count)) << count;
}

TEST(BlurArithmetic, RoundToByteKeepsTheLowByteAndDefinesTheRest) {
  using tessaly::roundToByte;
  EXPECT_EQ(roundToByte(127.5), 128);
  EXPECT_EQ(roundToByte(127.49999999), 127);
  EXPECT_EQ(roundToByte(-0.49), 0);
  EXPECT_EQ(roundToByte(-1.6), 255);   // trunc(-1.1) = -1, low byte 0xFF
  EXPECT_EQ(roundToByte(256.2), 0);    // 256, low byte 0
  EXPECT_EQ(roundToByte(1e30), 0);     // a float this large is a multiple of 256
  EXPECT_EQ(roundToByte(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace blur_test
