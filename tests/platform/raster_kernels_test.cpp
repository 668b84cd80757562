// The back end's fast pieces against plain reference loops: row runs of the
// coverage against the edge test at every pixel centre, the integer blend
// kernels against the float blend equation, the stepped samplers against the
// per-pixel addressing kernels, and the 8-bit linear step on packed lanes
// against its per-channel formula.
#include "d3d9/raster/blend_equation.h"
#include "d3d9/raster/span_colours.h"
#include "d3d9/raster/texel_lerp.h"
#include "d3d9/raster/texture_sampler.h"
#include "d3d9/raster/triangle_coverage.h"
#include "d3d9/raster/unorm8.h"
#include "d3d9/raster/word_blend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace swd3d::raster;

std::uint32_t random32(std::mt19937& rng) { return static_cast<std::uint32_t>(rng()); }

TEST(RasterArithmeticTest, RoundedDivisionBy255MatchesTheFloatRounding) {
  for (std::uint32_t n = 0; n <= 255 * 255; ++n) {  // every sum a blend can round
    ASSERT_EQ(div255Rounded(n), std::uint32_t(std::floor(n / 255.0 + 0.5))) << n;
    ASSERT_EQ(div255Rounded(n), toUnorm8(float(n) / 65025.0f)) << n;
  }
  EXPECT_EQ(toUnorm8(std::nanf("")), 0);
  EXPECT_EQ(toUnorm8(-1.0f), 0);
  EXPECT_EQ(toUnorm8(7.0f), 255);
}

TEST(RasterArithmeticTest, PackedLinearStepMatchesTheChannelFormula) {
  std::mt19937 rng(5);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t a = random32(rng), b = random32(rng), w = random32(rng) & 0xFF;
    std::uint32_t expected = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
      expected |= std::uint32_t(ca + (((cb - ca) * int(w) + 128) >> 8)) << shift;
    }
    ASSERT_EQ(compactTexel(lerpLanes(expandTexel(a), expandTexel(b), w)), expected);
  }
}

// The reference coverage: E >= 0 on top and left edges, E > 0 on the others,
// at every pixel centre, with the triangle turned clockwise.
bool covers(SnappedPoint a, SnappedPoint b, SnappedPoint c, std::int64_t px, std::int64_t py) {
  const std::int64_t area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  if (area < 0) std::swap(b, c);
  const SnappedPoint corners[3] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    const SnappedPoint p = corners[i], q = corners[(i + 1) % 3];
    const std::int64_t e = (q.x - p.x) * (py * 256 - p.y) - (q.y - p.y) * (px * 256 - p.x);
    const bool topLeft = q.y < p.y || (q.y == p.y && q.x > p.x);
    if (e < 0 || (e == 0 && !topLeft)) return false;
  }
  return area != 0;
}

TEST(TriangleCoverageTest, RowRunsHoldExactlyThePixelCentresTheEdgeTestCovers) {
  std::mt19937 rng(17);
  const ClipRect clip{2, 1, 30, 27};
  for (int round = 0; round < 3000; ++round) {
    // Corners on a coarse grid half the time, so centres fall on edges.
    const bool coarse = round % 2 == 0;
    auto coordinate = [&] {
      const int range = 36 * 256;
      const int value = int(random32(rng) % range) - 3 * 256;
      return std::int64_t(coarse ? value / 128 * 128 : value);
    };
    const SnappedPoint a{coordinate(), coordinate()}, b{coordinate(), coordinate()},
        c{coordinate(), coordinate()};
    const auto coverage = TriangleCoverage::make(a, b, c, CullMode::None, clip);
    for (int y = clip.top; y < clip.bottom; ++y) {
      RowRun run{0, 0};
      if (coverage && y >= coverage->top() && y < coverage->bottom()) run = coverage->row(y);
      for (int x = clip.left; x < clip.right; ++x) {
        ASSERT_EQ(x >= run.left && x < run.right, covers(a, b, c, x, y))
            << "round " << round << " pixel " << x << "," << y;
      }
    }
  }
}

const BlendFactor kFactors[] = {
    BlendFactor::Zero,         BlendFactor::One,          BlendFactor::SrcColour,
    BlendFactor::InvSrcColour, BlendFactor::SrcAlpha,     BlendFactor::InvSrcAlpha,
    BlendFactor::DestAlpha,    BlendFactor::InvDestAlpha, BlendFactor::DestColour,
    BlendFactor::InvDestColour, BlendFactor::SrcAlphaSat, BlendFactor::Constant,
    BlendFactor::InvConstant};
const BlendOp kOps[] = {BlendOp::Add, BlendOp::Subtract, BlendOp::RevSubtract, BlendOp::Min,
                        BlendOp::Max};

TEST(WordBlendTest, IntegerKernelsGiveTheBytesOfTheFloatEquation) {
  std::mt19937 rng(3);
  constexpr int kCount = 67;  // whole vectors and a tail
  std::vector<BlendSettings> cases;
  for (const BlendFactor fs : kFactors) {
    for (const BlendFactor fd : kFactors) {
      for (const BlendOp op : kOps) {
        BlendSettings b;
        b.enabled = true;
        b.srcColour = fs;
        b.destColour = fd;
        b.colourOp = op;
        // Alpha: the same, or one of the separate pairs the source-alpha
        // kernel builds.
        const BlendFactor alphaFactors[] = {BlendFactor::One, BlendFactor::Zero,
                                            BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
        b.srcAlpha = cases.size() % 3 == 0 ? fs : alphaFactors[random32(rng) % 4];
        b.destAlpha = cases.size() % 3 == 0 ? fd : alphaFactors[random32(rng) % 4];
        b.alphaOp = cases.size() % 5 == 0 ? BlendOp::Add : kOps[random32(rng) % 5];
        b.constant = random32(rng);
        b.writeMask = cases.size() % 7 == 0 ? 0x00FF00FF : 0xFFFFFFFF;
        cases.push_back(b);
      }
    }
  }
  BlendSettings off;
  cases.push_back(off);
  off.writeMask = 0xFF00FF00;
  cases.push_back(off);
  BlendSettings over;  // the plug-in's alpha-blend group
  over.enabled = true;
  over.srcColour = over.srcAlpha = BlendFactor::SrcAlpha;
  over.destColour = BlendFactor::InvSrcAlpha;
  over.srcAlpha = over.destAlpha = BlendFactor::One;
  cases.push_back(over);

  for (const BlendSettings& b : cases) {
    std::vector<std::uint32_t> source(kCount), target(kCount);
    for (int i = 0; i < kCount; ++i) {
      source[i] = random32(rng);
      target[i] = random32(rng);
      if (i % 9 == 0) source[i] |= 0xFF000000;  // opaque
      if (i % 11 == 0) source[i] &= 0x00FFFFFF;  // transparent
    }
    std::vector<std::uint32_t> expected = target;
    SpanColours colours;
    for (int first = 0; first < kCount; first += kSpanPixels) {
      const int n = std::min(kSpanPixels, kCount - first);
      unpackColours(source.data() + first, n, colours);
      blendSpan(b, colours, n, expected.data() + first);
    }
    for (const auto width : {WordBlend::VectorWidth::Widest, WordBlend::VectorWidth::Sse2}) {
      std::vector<std::uint32_t> blended = target;
      const WordBlend blend(b, width);
      blend(source.data(), kCount, blended.data());
      ASSERT_EQ(blended, expected) << "factors " << int(b.srcColour) << ", " << int(b.destColour)
                                   << " op " << int(b.colourOp) << "; alpha " << int(b.srcAlpha)
                                   << ", " << int(b.destAlpha) << " op " << int(b.alphaOp)
                                   << (width == WordBlend::VectorWidth::Sse2 ? ", SSE2" : "");
    }
  }
}

TEST(TextureSamplerTest, SteppedKernelsMatchTheAddressingKernelsInside) {
  std::mt19937 rng(9);
  int compared = 0;
  for (const int width : {2, 5, 64}) {
    for (const int height : {2, 3, 17}) {
      std::vector<std::uint32_t> texels(std::size_t(width) * height);
      for (auto& t : texels) t = random32(rng);
      const SamplerView view{{reinterpret_cast<std::uint8_t*>(texels.data()), width * 4, width, height}, 0};
      for (const Filter filter : {Filter::Point, Filter::Linear}) {
        for (int round = 0; round < 300; ++round) {
          const auto fixed = [&](int size) {
            return std::int64_t(random32(rng) % (std::uint64_t(size) << 32));
          };
          const auto step = [&] { return std::int64_t(random32(rng)) - (std::int64_t(1) << 31); };
          const TexelSteps steps{fixed(width), fixed(height), step() >> (random32(rng) % 8), step() >> (random32(rng) % 8)};
          const int count = 1 + int(random32(rng) % kSpanPixels);
          if (!steppedInside(filter, steps, count, width, height)) continue;
          TexelCoords coords;
          for (int i = 0; i < count; ++i) {
            coords.s[i] = steps.s + steps.ds * i;
            coords.t[i] = steps.t + steps.dt * i;
          }
          std::uint32_t addressed[kSpanPixels];
          spanSampler(filter, AddressMode::Clamp, AddressMode::Wrap)(view, coords, count, addressed);
          for (const auto vectors : {VectorWidth::Widest, VectorWidth::Sse2}) {
            std::uint32_t stepped[kSpanPixels];
            steppedInsideSampler(filter, vectors)(view, steps, count, stepped);
            ASSERT_TRUE(std::equal(stepped, stepped + count, addressed))
                << width << " x " << height << (filter == Filter::Point ? " point" : " linear")
                << (vectors == VectorWidth::Sse2 ? ", baseline" : "");
          }
          ++compared;
        }
      }
    }
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace
