// The gradients on plain memory against the reference loops, over awkward
// sizes, padded rows and arguments across their whole range; then the worked
// values through the commands on host images.
#include "gradient_reference.h"
#include "host_fixture.h"
#include "filters/instruction_sets.h"
#include "filters/test_image.h"

#include "filters/gradient/gradient_commands.h"
#include "filters/gradient/linear_gradient.h"
#include "filters/gradient/radial_gradient.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace filter_test {
namespace {

using tessaly::GradientInk;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Channel masks of every shape: none, one byte, several bytes, odd bits.
constexpr std::uint32_t kMasks[] = {0x00000000, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000, 0x00FFFFFF,
                                    0xFFFFFFFF, 0xFF00FF00, 0x80000001, 0x12345678, 0x0F0F0FF0};

// A coordinate inside, on the edge of, near or far outside a side of `size`,
// or at the ends of the 32-bit range.
std::int32_t coordinate(std::mt19937& rng, std::uint32_t size) {
  const auto s = static_cast<std::int32_t>(size);
  switch (rng() % 8) {
    case 0: return static_cast<std::int32_t>(rng() % size);
    case 1: return (rng() % 2) ? 0 : s - 1;
    case 2: return (rng() % 2) ? -1 : s;
    case 3: return static_cast<std::int32_t>(rng() % (3 * size + 40)) - s - 20;
    case 4: return static_cast<std::int32_t>(rng() % 200001) - 100000;
    case 5: return (rng() % 2) ? INT_MAX : INT_MIN;
    case 6: return static_cast<std::int32_t>(rng());
    default: return static_cast<std::int32_t>(rng() % 5) - 2;
  }
}

float radius(std::mt19937& rng, float diagonal) {
  std::uniform_real_distribution<float> within(0.0f, diagonal);
  switch (rng() % 9) {
    case 0: return kNaN;
    case 1: return (rng() % 2) ? kInfinity : -kInfinity;
    case 2: return -within(rng);
    case 3: return std::floor(within(rng));
    case 4: return 1e30f;
    case 5: return std::numeric_limits<float>::denorm_min();
    case 6: return 0.0f;
    default: return within(rng);
  }
}

GradientColours colours(std::mt19937& rng) {
  const std::uint32_t ends[] = {0x00000000, 0xFFFFFFFF, 0xFF000000, 0x00FFFFFF};
  const std::uint32_t c1 = (rng() % 4 == 0) ? ends[rng() % 4] : static_cast<std::uint32_t>(rng());
  const std::uint32_t c2 = (rng() % 4 == 0) ? ends[rng() % 4] : static_cast<std::uint32_t>(rng());
  const std::uint32_t mode = (rng() % 4 == 0) ? static_cast<std::uint32_t>(rng()) : rng() % 4;
  return {c1, c2, kMasks[rng() % std::size(kMasks)], mode};
}

GradientInk inkOf(const GradientColours& c) { return GradientInk::from(c.color1, c.color2, c.channel, c.mode); }

std::string describe(const TestImage& image, const GradientColours& c) {
  std::ostringstream text;
  text << image.width << "x" << image.height << std::hex << " colours " << c.color1 << " " << c.color2 << " mask "
       << c.channel << " mode " << c.mode;
  return text.str();
}

TEST(LinearGradient, MatchesTheReferenceForEveryKindOfArgument) {
  forEveryInstructionSet([&](const char* set) {
    std::mt19937 rng(43);
    for (const auto& [w, h] : awkwardSizes()) {
      for (int round = 0; round < 60; ++round) {
        const std::int32_t fx = coordinate(rng, w), fy = coordinate(rng, h);
        // Now and then the same point twice, or a point one pixel away.
        const int shape = static_cast<int>(rng() % 10);
        const std::int32_t beside = fx == INT_MAX ? fx - 1 : fx + 1;
        const std::int32_t tx = shape == 0 ? fx : shape == 1 ? beside : coordinate(rng, w);
        const std::int32_t ty = shape == 0 ? fy : shape == 1 ? fy : coordinate(rng, h);
        const GradientColours c = colours(rng);
        TestImage real = randomImage(w, h, rng, 4 * (rng() % 4));
        TestImage expected = real;
        referenceLinearGradient(expected, fx, fy, tx, ty, c);
        tessaly::paintLinearGradient(real.rect(), {fx, fy, tx, ty}, inkOf(c));
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes())
            << set << " " << describe(real, c) << std::dec << " from " << fx << "," << fy << " to " << tx << "," << ty;
        ASSERT_TRUE(real.paddingIntact());
      }
    }
  });
}

// One gradient in each Mode on a wide image of random pixels against the
// reference: paint(image, colours) and reference(image, colours).
template <class Paint, class Reference>
void expectOnAWideImage(Paint paint, Reference reference, std::mt19937& rng, const std::string& what) {
  for (std::uint32_t mode = 0; mode < 4; ++mode) {
    const GradientColours c{static_cast<std::uint32_t>(rng()), static_cast<std::uint32_t>(rng()), 0xFFFFFFFF, mode};
    TestImage real = randomImage(300, 41, rng);
    TestImage expected = real;
    reference(expected, c);
    paint(real.rect(), inkOf(c));
    ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << what << " mode " << mode;
  }
}

// Long gradients over a wide image: many colour steps per row, t near 0 and
// 1 at the ends, and projections that run far past 2^24.
TEST(LinearGradient, MatchesTheReferenceOnLongAndSteepGradients) {
  forEveryInstructionSet([&](const char* set) {
    std::mt19937 rng(7);
    const struct {
      std::int32_t fx, fy, tx, ty;
    } lines[] = {{0, 0, 300, 0},        {299, 0, 0, 0},       {0, 0, 0, 40},         {0, 40, 0, 0},
                 {0, 0, 255, 0},        {-3, -5, 301, 44},    {150, 20, 151, 21},    {0, 0, 46340, 0},
                 {0, 0, 46341, 0},      {0, 0, 40000, 30000}, {5, 7, -99999, 77777}, {0, 0, 1 << 20, 1 << 20},
                 {-70000, 0, 70000, 1}, {0, 0, 1, 46341}};
    for (const auto& l : lines) {
      std::ostringstream what;
      what << set << " from " << l.fx << "," << l.fy << " to " << l.tx << "," << l.ty;
      expectOnAWideImage(
          [&](const tessaly::PixelRect& image, const GradientInk& ink) {
            tessaly::paintLinearGradient(image, {l.fx, l.fy, l.tx, l.ty}, ink);
          },
          [&](TestImage& image, const GradientColours& c) { referenceLinearGradient(image, l.fx, l.fy, l.tx, l.ty, c); },
          rng, what.str());
    }
  });
}

TEST(RadialGradient, MatchesTheReferenceForEveryKindOfArgument) {
  forEveryInstructionSet([&](const char* set) {
    std::mt19937 rng(44);
    for (const auto& [w, h] : awkwardSizes()) {
      const float diagonal = std::hypot(static_cast<float>(w), static_cast<float>(h)) * 1.5f;
      for (int round = 0; round < 60; ++round) {
        const std::int32_t fx = coordinate(rng, w), fy = coordinate(rng, h);
        const float startR = radius(rng, diagonal);
        const float endR = (rng() % 8 == 0) ? startR : radius(rng, diagonal);
        const GradientColours c = colours(rng);
        TestImage real = randomImage(w, h, rng, 4 * (rng() % 4));
        TestImage expected = real;
        referenceRadialGradient(expected, fx, fy, startR, endR, c);
        tessaly::paintRadialGradient(real.rect(), {fx, fy, startR, endR}, inkOf(c));
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << set << " " << describe(real, c) << std::dec << " centre " << fx << "," << fy
                                                  << " radii " << startR << " " << endR;
        ASSERT_TRUE(real.paddingIntact());
      }
    }
  });
}

TEST(RadialGradient, MatchesTheReferenceOnWideRings) {
  forEveryInstructionSet([&](const char* set) {
    std::mt19937 rng(8);
    const struct {
      std::int32_t fx, fy;
      float startR, endR;
    } circles[] = {{150, 20, 0, 150},   {150, 20, 150, 0},    {0, 0, 10, 10},       {299, 40, 300, 0.5f},
                   {-40, 90, 100, 400}, {150, 20, 3.3f, 3.4f}, {10, 10, -20, 20},    {70, 0, 0.1f, 1e-7f},
                   {150, 20, 0, 255},   {1 << 23, 3, 0, 1e7f}, {-(1 << 24), 3, 0, 2e7f}};
    for (const auto& circle : circles) {
      std::ostringstream what;
      what << set << " centre " << circle.fx << "," << circle.fy << " radii " << circle.startR << " " << circle.endR;
      expectOnAWideImage(
          [&](const tessaly::PixelRect& image, const GradientInk& ink) {
            tessaly::paintRadialGradient(image, {circle.fx, circle.fy, circle.startR, circle.endR}, ink);
          },
          [&](TestImage& image, const GradientColours& c) {
            referenceRadialGradient(image, circle.fx, circle.fy, circle.startR, circle.endR, c);
          },
          rng, what.str());
    }
  });
}

// A t this small (here 0x1.15b1e6p-25 at the centre, where the distance is 0
// and StartR = -t) is where a product and sum in single precision with one
// rounding would part from the double steps: 59 + (0 - 59) t is a hair below
// the midpoint between 59 and the float under it, so the double sum rounds
// to that midpoint and then up to 59, while one rounding gives 58.99999....
TEST(RadialGradient, TinyParametersTakeTheDoubleSteps) {
  const float t = 0x1.15b1e6p-25f;
  forEveryInstructionSet([&](const char* set) {
    TestImage image(33, 1);
    tessaly::paintRadialGradient(image.rect(), {16, 0, -t, 1.0f}, GradientInk::from(0xFF00003B, 0xFF000000, ~0u, 0));
    EXPECT_EQ(image.word(16, 0), 0xFF00003Bu) << set;
  });
}

// The worked values, through the commands on host images.
class Gradients : public HostFixture {
 protected:
  static constexpr std::uint32_t kKeep = 0x12345678;

  std::vector<std::uint32_t> linear(UINT w, UINT h, int fx, int fy, int tx, int ty, DWORD c1, DWORD c2, DWORD mask,
                                    DWORD mode) {
    makePlain(1, w, h, {kKeep});
    GradientLinear(1, fx, fy, tx, ty, c1, c2, mask, mode);
    return pixels(1);
  }
  std::vector<std::uint32_t> radial(UINT w, UINT h, int fx, int fy, float r0, float r1, DWORD c1, DWORD c2,
                                    DWORD mask, DWORD mode) {
    makePlain(1, w, h, {kKeep});
    GradientRadial(1, fx, fy, r0, r1, c1, c2, mask, mode);
    return pixels(1);
  }
};

TEST_F(Gradients, LinearFromBlackToWhiteOverTenPixels) {
  for (DWORD mode : {0u, 2u}) {
    const auto out = linear(14, 3, 0, 0, 10, 0, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, mode);
    for (UINT y = 0; y < 3; ++y) {
      const auto at = [&](UINT x) { return out[y * 14 + x]; };
      EXPECT_EQ(at(0), 0xFF000000u);
      EXPECT_EQ(at(5), 0xFF7F7F7Fu);  // t = 0.5: 127.5 truncated
      EXPECT_EQ(at(10), 0xFFFFFFFFu);
      for (UINT x = 11; x < 14; ++x) EXPECT_EQ(at(x), mode == 2 ? 0xFFFFFFFFu : kKeep) << "mode " << mode;
    }
  }
}

TEST_F(Gradients, LinearFromOutsideChangesOnlyBetweenTheTwoLines) {
  // Start at x = 30, end at x = 10, on a 20-pixel-wide image: t = (30 - x) / 20.
  const auto out = linear(20, 2, 30, 1, 10, 1, 0xFF000000, 0xFF0000FF, 0xFFFFFFFF, 0);
  for (UINT x = 0; x < 20; ++x) {
    const auto t = static_cast<float>((30.0 - x) / 20.0);
    const std::uint32_t blue = static_cast<std::uint32_t>(static_cast<float>(255.0 * t));
    const std::uint32_t want = x < 10 ? kKeep : 0xFF000000u | blue;
    EXPECT_EQ(out[x], want) << "x " << x;
    EXPECT_EQ(out[20 + x], want) << "x " << x;
  }
}

TEST_F(Gradients, EqualPointsChangeNothingWhateverTheMode) {
  for (DWORD mode = 0; mode < 8; ++mode) {
    EXPECT_EQ(linear(5, 4, 2, 2, 2, 2, 0, 0xFFFFFFFF, 0xFFFFFFFF, mode), std::vector<std::uint32_t>(20, kKeep));
  }
}

TEST_F(Gradients, RadialFromTheCentreOutToTen) {
  const auto out = radial(30, 30, 10, 12, 0.0f, 10.0f, 0xFF102030, 0x80F0E0D0, 0xFFFFFFFF, 0);
  const auto at = [&](UINT x, UINT y) { return out[y * 30 + x]; };
  EXPECT_EQ(at(10, 12), 0xFF102030u);
  EXPECT_EQ(at(16, 20), 0x80F0E0D0u);  // distance 10: (6, 8)
  for (UINT y = 0; y < 30; ++y) {
    for (UINT x = 0; x < 30; ++x) {
      const int dx = static_cast<int>(x) - 10, dy = static_cast<int>(y) - 12;
      if (dx * dx + dy * dy > 100) {
        ASSERT_EQ(at(x, y), kKeep) << x << "," << y;
      }
    }
  }
}

TEST_F(Gradients, RadialWithEqualRadiiSplitsAtTheCircle) {
  const auto out = radial(30, 30, 10, 12, 10.0f, 10.0f, 0xFF0000FF, 0xFFFF0000, 0xFFFFFFFF, 3);
  for (UINT y = 0; y < 30; ++y) {
    for (UINT x = 0; x < 30; ++x) {
      const int dx = static_cast<int>(x) - 10, dy = static_cast<int>(y) - 12;
      const int d2 = dx * dx + dy * dy;
      const std::uint32_t want = d2 < 100 ? 0xFF0000FFu : d2 > 100 ? 0xFFFF0000u : kKeep;
      ASSERT_EQ(out[y * 30 + x], want) << x << "," << y;
    }
  }
  EXPECT_EQ(out[20 * 30 + 16], kKeep);  // (fx + 6, fy + 8)
}

TEST_F(Gradients, ChannelMaskChoosesTheBitsThatChange) {
  EXPECT_EQ(linear(12, 2, 0, 0, 10, 0, 0, 0xFFFFFFFF, 0, 3), std::vector<std::uint32_t>(24, kKeep));
  EXPECT_EQ(radial(12, 2, 0, 0, 0, 5, 0, 0xFFFFFFFF, 0, 3), std::vector<std::uint32_t>(24, kKeep));
  // Alpha only, from 0 to 255: the colour bytes stay.
  const auto out = linear(11, 1, 0, 0, 10, 0, 0x00FFFFFF, 0xFF000000, 0xFF000000, 0);
  for (UINT x = 0; x <= 10; ++x) {
    EXPECT_EQ(out[x], static_cast<std::uint32_t>(255 * x / 10) << 24 | (kKeep & 0x00FFFFFF)) << "x " << x;
  }
}

TEST_F(Gradients, ModeOnePaintsEverythingBeforeTheStartWithColor1) {
  const auto out = linear(20, 3, 8, 0, 18, 0, 0xAA112233, 0xFFFFFFFF, 0xFFFFFFFF, 1);
  for (UINT y = 0; y < 3; ++y)
    for (UINT x = 0; x <= 8; ++x) EXPECT_EQ(out[y * 20 + x], 0xAA112233u) << x << "," << y;
  const auto inwards = radial(20, 20, 10, 10, 8, 2, 0xAA112233, 0xFFFFFFFF, 0xFFFFFFFF, 1);
  EXPECT_EQ(inwards[0], 0xAA112233u);  // farther than StartR: before the start of an inward gradient
}

TEST_F(Gradients, ModesFourAndAboveActAsTheirLowestTwoBits) {
  for (DWORD mode = 0; mode < 4; ++mode) {
    for (DWORD high : {4u, 8u, 0xFFFFFFFCu}) {
      EXPECT_EQ(linear(16, 2, 4, 0, 10, 1, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, mode | high),
                linear(16, 2, 4, 0, 10, 1, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, mode));
      EXPECT_EQ(radial(16, 9, 4, 4, 2, 5, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, mode | high),
                radial(16, 9, 4, 4, 2, 5, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, mode));
    }
  }
}

// dx² + dy² past 2^31 - 1 is formed without overflow: the gradient from 0
// to 50000 along x gives pixel x the t = x / 50000 it should.
TEST_F(Gradients, FarApartPointsGiveTheTrueProjection) {
  const auto out = linear(8, 1, 0, 0, 50000, 0, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  EXPECT_EQ(out, std::vector<std::uint32_t>(8, 0xFF000000u));
  // From one end of the 32-bit range to the other: every pixel lies halfway.
  const auto halfway = linear(4, 2, INT_MIN, 0, INT_MAX, 0, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  EXPECT_EQ(halfway, std::vector<std::uint32_t>(8, 0xFF7F7F7Fu));
}

TEST_F(Gradients, NaNAndInfiniteRadiiGiveDefinedResults) {
  EXPECT_EQ(radial(6, 6, 2, 2, kNaN, 5, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3), std::vector<std::uint32_t>(36, kKeep));
  EXPECT_EQ(radial(6, 6, 2, 2, 0, kNaN, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3), std::vector<std::uint32_t>(36, kKeep));
  // An infinite end: t = 0 everywhere but (distance - StartR) / infinity.
  EXPECT_EQ(radial(6, 6, 2, 2, 0, kInfinity, 0xFF445566, 0xFFFFFFFF, 0xFFFFFFFF, 0),
            std::vector<std::uint32_t>(36, 0xFF445566u));
  EXPECT_EQ(radial(6, 6, 2, 2, -kInfinity, kInfinity, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3),
            std::vector<std::uint32_t>(36, kKeep));
}

}  // namespace
}  // namespace filter_test
