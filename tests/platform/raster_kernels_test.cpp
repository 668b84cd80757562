// The back end's fast pieces against plain reference loops: row runs of the
// coverage against the edge test at every pixel centre (and stepped row by
// row against the runs row by row), texel-for-pixel quads against the texel
// each covered centre addresses, the integer blend
// kernels against the float blend equation and that against the same equation
// pixel by pixel, the stepped samplers against the
// per-pixel addressing kernels, and the 8-bit linear step on packed lanes
// against its per-channel formula, and planes found to interpolate exactly
// against their values worked out in wider precision.
#include "d3d9/raster/blend_equation.h"
#include "d3d9/raster/exact_interpolation.h"
#include "d3d9/raster/rasteriser.h"
#include "d3d9/raster/span_colours.h"
#include "d3d9/raster/texel_lerp.h"
#include "d3d9/raster/texture_sampler.h"
#include "d3d9/raster/triangle_coverage.h"
#include "d3d9/raster/unorm8.h"
#include "d3d9/raster/word_blend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

// Stepping from row to row gives the runs each row computed on its own
// gives, for small triangles and for ones too large for 64-bit steps.
TEST(TriangleCoverageTest, SteppedRowsMatchRowsComputedOneByOne) {
  std::mt19937 rng(29);
  const ClipRect clip{-5, -7, 1200, 900};
  for (int round = 0; round < 2000; ++round) {
    const std::int64_t range = round % 4 == 0 ? std::int64_t{1} << 32 : 1400 * 256;
    const auto coordinate = [&] {
      const std::int64_t value = std::int64_t(random32(rng) % std::uint64_t(2 * range)) - range;
      return round % 2 == 0 ? value / 64 * 64 : value;
    };
    const SnappedPoint a{coordinate(), coordinate()}, b{coordinate(), coordinate()},
        c{coordinate(), coordinate()};
    const auto coverage = TriangleCoverage::make(a, b, c, CullMode::None, clip);
    if (!coverage) continue;
    TriangleCoverage::RowSteps rows(*coverage);
    for (int y = coverage->top(); y < coverage->bottom(); ++y) {
      const RowRun stepped = rows.next(), own = coverage->row(y);
      ASSERT_EQ(stepped.left >= stepped.right, own.left >= own.right) << "round " << round << " row " << y;
      if (own.left < own.right) {
        ASSERT_EQ(stepped.left, own.left) << "round " << round << " row " << y;
        ASSERT_EQ(stepped.right, own.right) << "round " << round << " row " << y;
      }
    }
  }
}

// Quads split into two triangles by either diagonal, fanned from any corner
// in either winding: the rectangle found for the pair holds exactly the
// centres the edge test puts in one triangle or the other. Pairs that are not
// two halves of one rectangle give none.
TEST(TriangleCoverageTest, SplitRectanglesHoldTheCentresEitherHalfCovers) {
  const ClipRect clip{2, 1, 30, 27};
  struct Box {
    std::int64_t x0, y0, x1, y1;  // in 1/256 pixel
  };
  std::vector<Box> boxes = {
      {2 * 256, 3 * 256, 20 * 256, 9 * 256},          // whole pixels
      {2 * 256 - 128, 3 * 256 - 128, 20 * 256 - 128, 9 * 256 - 128},  // centres on the sides
      {5 * 256, 5 * 256, 6 * 256, 6 * 256},           // one pixel
      {5 * 256 + 1, 5 * 256 + 1, 5 * 256 + 255, 6 * 256 - 1},  // no centre
      {-40 * 256, -9 * 256 - 7, 90 * 256 + 3, 80 * 256},  // past the clip on every side
      {29 * 256, 26 * 256, 31 * 256, 28 * 256},       // the clip's last pixel only
  };
  std::mt19937 rng(41);
  for (int i = 0; i < 300; ++i) {
    const auto coordinate = [&] { return std::int64_t(random32(rng) % (36 * 256)) - 3 * 256; };
    std::int64_t x0 = coordinate(), x1 = coordinate(), y0 = coordinate(), y1 = coordinate();
    if (i % 2 == 0) x0 = x0 / 128 * 128, x1 = x1 / 128 * 128, y0 = y0 / 128 * 128, y1 = y1 / 128 * 128;
    if (x0 == x1 || y0 == y1) continue;
    boxes.push_back({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)});
  }
  for (const Box& box : boxes) {
    const SnappedPoint corners[4] = {{box.x0, box.y0}, {box.x1, box.y0}, {box.x1, box.y1}, {box.x0, box.y1}};
    for (int start = 0; start < 4; ++start) {
      for (const int turn : {1, 3}) {  // clockwise, then the mirrored winding
        const auto corner = [&](int k) { return corners[(start + k * turn) % 4]; };
        const std::array<SnappedPoint, 3> first{corner(0), corner(1), corner(2)};
        const std::array<SnappedPoint, 3> second{corner(0), corner(2), corner(3)};
        const auto rectangle = TriangleCoverage::splitRectangle(first, second, clip);
        ASSERT_TRUE(rectangle.has_value());
        for (int y = clip.top; y < clip.bottom; ++y) {
          for (int x = clip.left; x < clip.right; ++x) {
            const bool inRectangle = x >= rectangle->left && x < rectangle->right &&
                                     y >= rectangle->top && y < rectangle->bottom;
            const bool covered = covers(first[0], first[1], first[2], x, y) ||
                                 covers(second[0], second[1], second[2], x, y);
            ASSERT_EQ(inRectangle, covered) << "box " << box.x0 << "," << box.y0 << " " << box.x1 << ","
                                            << box.y1 << " start " << start << " turn " << turn
                                            << " pixel " << x << "," << y;
          }
        }
      }
    }
  }

  const SnappedPoint tl{256, 256}, tr{2560, 256}, br{2560, 1280}, bl{256, 1280};
  const std::array<SnappedPoint, 3> notPairs[][2] = {
      {{tl, tr, br}, {tl, tr, br}},                  // the same half twice
      {{tl, tr, br}, {tl, br, tr}},                  // the same half, other winding
      {{tl, tr, br}, {tr, br, bl}},                  // halves of different diagonals
      {{tl, tr, br}, {tl, br, SnappedPoint{256, 1281}}},  // a corner off the rectangle
      {{tl, tr, br}, {tl, br, SnappedPoint{1000, 700}}},  // a point inside it
      {{tl, tr, tr}, {tl, br, bl}},                  // a triangle with no area
      {{tl, tr, SnappedPoint{2560, 256}}, {tl, tr, tl}},  // all on one line
  };
  for (const auto& pair : notPairs) {
    EXPECT_FALSE(TriangleCoverage::splitRectangle(pair[0], pair[1], clip).has_value())
        << pair[1][2].x << "," << pair[1][2].y;
  }
}

// The texel index `i` addresses in a row or column of `size`, or -1 for the
// border colour.
std::int64_t addressed(std::int64_t i, std::int64_t size, AddressMode mode) {
  switch (mode) {
    case AddressMode::Wrap: return ((i % size) + size) % size;
    case AddressMode::Mirror: {
      const std::int64_t r = ((i % (2 * size)) + 2 * size) % (2 * size);
      return r < size ? r : 2 * size - 1 - r;
    }
    case AddressMode::Clamp: return std::clamp<std::int64_t>(i, 0, size - 1);
    case AddressMode::Border: return i >= 0 && i < size ? i : -1;
    case AddressMode::MirrorOnce: return std::min(i < 0 ? -1 - i : i, size - 1);
  }
  return -1;
}

std::int64_t floorDiv256(std::int64_t v) { return v >= 0 ? v / 256 : -((-v + 255) / 256); }

// Quads that place texels one for one, shifted by any multiple of 1/256 and
// reaching past the texture and the clip rectangle, drawn as fans from any
// corner in either winding, point sampled or linear, from textures whose rows
// have padding or none: each covered pixel gets the texel its centre
// addresses (linear: the four texels around it, weighted; one texel whole
// where centres meet centres), blended by the word kernel; every other pixel
// keeps its word.
TEST(RasteriserTest, TexelForPixelQuadsTakeTheTexelEachCentreAddresses) {
  std::mt19937 rng(31);
  const int width = 48, height = 36;
  const ClipRect clip{1, 2, 45, 33};
  for (int round = 0; round < 600; ++round) {
    const int texWidth = round % 3 == 0 ? 16 : 32, texHeight = round % 2 == 0 ? 8 : 32;
    const int texPitch = texWidth + (round % 5 == 0 ? 3 : 0);  // in words
    std::vector<std::uint32_t> texels(std::size_t(texPitch) * texHeight);
    for (auto& t : texels) t = random32(rng);
    PixelPlane texture{reinterpret_cast<std::uint8_t*>(texels.data()), texPitch * 4, texWidth, texHeight};
    std::vector<std::uint32_t> target(std::size_t(width + 3) * height), expected;
    for (auto& t : target) t = random32(rng);
    expected = target;

    DrawSettings settings;
    settings.target = {reinterpret_cast<std::uint8_t*>(target.data()), (width + 3) * 4, width, height};
    settings.clip = clip;
    settings.stage.colourOp = StageOp::SelectArg1;
    const AddressMode modes[] = {AddressMode::Wrap, AddressMode::Mirror, AddressMode::Clamp,
                                 AddressMode::Border, AddressMode::MirrorOnce};
    settings.textures[0] = {&texture, {}};
    settings.textures[0].sampler.addressU = modes[random32(rng) % 5];
    settings.textures[0].sampler.addressV = modes[random32(rng) % 5];
    settings.textures[0].sampler.borderColour = 0x12345678;
    const bool linear = round % 3 == 2;
    if (linear) settings.textures[0].sampler.minFilter = settings.textures[0].sampler.magFilter = Filter::Linear;
    if (round % 4 == 1) {
      settings.blend = {true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha, BlendOp::Add,
                        BlendFactor::One, BlendFactor::InvSrcAlpha, BlendOp::Add};
    }

    // Corners and the texel shift in 1/256 pixel, on half pixels every other round.
    const auto sub = [&](int low, int high) {
      const int v = low * 256 + int(random32(rng) % std::uint32_t((high - low) * 256));
      return round % 2 == 0 ? v / 128 * 128 : v;
    };
    const int x0 = sub(-6, 40), y0 = sub(-6, 30);
    const int x1 = x0 + 1 + sub(0, 30), y1 = y0 + 1 + sub(0, 24);
    // Half the linear rounds put pixel centres on texel centres, where
    // linear sampling takes one texel whole.
    const bool centred = linear && round % 6 == 2;
    const int shiftS = centred ? sub(-10, 10) / 256 * 256 + 128 : sub(-10, 10);
    const int shiftT = centred ? sub(-10, 10) / 256 * 256 + 128 : sub(-10, 10);
    const auto vertex = [&](int x, int y) {
      return Vertex{float(x) / 256.0f, float(y) / 256.0f, 0xFFFFFFFF, float(x + shiftS) / 256.0f / float(texWidth),
                    float(y + shiftT) / 256.0f / float(texHeight)};
    };
    const Vertex corners[4] = {vertex(x0, y0), vertex(x1, y0), vertex(x1, y1), vertex(x0, y1)};
    const int start = int(random32(rng) % 4), turn = round % 2 == 0 ? 1 : 3;
    const auto corner = [&](int k) { return corners[(start + k * turn) % 4]; };
    {
      Rasteriser rasteriser(settings);
      rasteriser.drawTriangle(corner(0), corner(1), corner(2));
      rasteriser.drawTriangle(corner(0), corner(2), corner(3));
    }

    const WordBlend blend(settings.blend);
    const SnappedPoint pa{x0, y0}, pb{x1, y0}, pc{x1, y1}, pd{x0, y1};
    for (int y = clip.top; y < clip.bottom; ++y) {
      for (int x = clip.left; x < clip.right; ++x) {
        if (!covers(pa, pb, pc, x, y) && !covers(pa, pc, pd, x, y)) continue;
        const auto at = [&](std::int64_t i, std::int64_t j) {
          const std::int64_t col = addressed(i, texWidth, settings.textures[0].sampler.addressU);
          const std::int64_t row = addressed(j, texHeight, settings.textures[0].sampler.addressV);
          return col < 0 || row < 0 ? 0x12345678u : texels[std::size_t(row) * texPitch + std::size_t(col)];
        };
        std::uint32_t texel = at(floorDiv256(x * 256 + shiftS), floorDiv256(y * 256 + shiftT));
        if (linear) {  // the first texel and weight from the centre half a texel back
          const std::int64_t s = x * 256 + shiftS - 128, t = y * 256 + shiftT - 128;
          const std::int64_t i = floorDiv256(s), j = floorDiv256(t);
          texel = bilinearTexel(at(i, j), at(i + 1, j), at(i, j + 1), at(i + 1, j + 1),
                                std::uint32_t(s - i * 256), std::uint32_t(t - j * 256));
        }
        blend(&texel, 1, &expected[std::size_t(y) * (width + 3) + std::size_t(x)]);
      }
    }
    ASSERT_EQ(target, expected) << "round " << round << " corners " << x0 << "," << y0 << " " << x1 << "," << y1
                                << " shift " << shiftS << "," << shiftT << " fan " << start << "," << turn;
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

// Every factor and operation for colour; for alpha the same, or one of the
// separate pairs the source-alpha kernel builds; blending off; the plug-in's
// alpha-blend group.
std::vector<BlendSettings> blendCases(std::mt19937& rng) {
  std::vector<BlendSettings> cases;
  for (const BlendFactor fs : kFactors) {
    for (const BlendFactor fd : kFactors) {
      for (const BlendOp op : kOps) {
        BlendSettings b;
        b.enabled = true;
        b.srcColour = fs;
        b.destColour = fd;
        b.colourOp = op;
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

  return cases;
}

TEST(WordBlendTest, IntegerKernelsGiveTheBytesOfTheFloatEquation) {
  std::mt19937 rng(3);
  constexpr int kCount = 67;  // whole vectors and a tail
  const std::vector<BlendSettings> cases = blendCases(rng);
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

// The blend equation one pixel and channel at a time: the readable
// definition the span kernel must match bit for bit.
float referenceFactor(BlendFactor factor, float source, float sourceAlpha, float dest,
                      float destAlpha, float constant, bool isAlpha) {
  switch (factor) {
    case BlendFactor::Zero: return 0.0f;
    case BlendFactor::One: return 1.0f;
    case BlendFactor::SrcColour: return source;
    case BlendFactor::InvSrcColour: return 1.0f - source;
    case BlendFactor::SrcAlpha: return sourceAlpha;
    case BlendFactor::InvSrcAlpha: return 1.0f - sourceAlpha;
    case BlendFactor::DestAlpha: return destAlpha;
    case BlendFactor::InvDestAlpha: return 1.0f - destAlpha;
    case BlendFactor::DestColour: return dest;
    case BlendFactor::InvDestColour: return 1.0f - dest;
    case BlendFactor::SrcAlphaSat: return isAlpha ? 1.0f : std::min(sourceAlpha, 1.0f - destAlpha);
    case BlendFactor::Constant: return constant;
    case BlendFactor::InvConstant: return 1.0f - constant;
  }
  return 0.0f;
}

std::uint32_t referenceBlend(const BlendSettings& blend, const float (&in)[4], std::uint32_t old) {
  std::uint32_t result = 0;
  for (int c = 0; c < 4; ++c) {  // blue, green, red, alpha
    const bool isAlpha = c == 3;
    float value = in[c];
    if (blend.enabled) {
      const float dest = fromUnorm8(channel(old, 8 * c));
      const float destAlpha = fromUnorm8(channel(old, kAlphaShift));
      const float constant = fromUnorm8(channel(blend.constant, 8 * c));
      const BlendFactor fs = isAlpha ? blend.srcAlpha : blend.srcColour;
      const BlendFactor fd = isAlpha ? blend.destAlpha : blend.destColour;
      const BlendOp op = isAlpha ? blend.alphaOp : blend.colourOp;
      const float s = in[c] * referenceFactor(fs, in[c], in[3], dest, destAlpha, constant, isAlpha);
      const float d = dest * referenceFactor(fd, in[c], in[3], dest, destAlpha, constant, isAlpha);
      switch (op) {
        case BlendOp::Add: value = s + d; break;
        case BlendOp::Subtract: value = s - d; break;
        case BlendOp::RevSubtract: value = d - s; break;
        case BlendOp::Min: value = std::min(in[c], dest); break;
        case BlendOp::Max: value = std::max(in[c], dest); break;
      }
    }
    result |= std::uint32_t{toUnorm8(value)} << (8 * c);
  }
  return (result & blend.writeMask) | (old & ~blend.writeMask);
}

TEST(FloatBlendSpanTest, EveryFactorAndOperationGivesTheBytesOfThePixelByPixelEquation) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const std::vector<BlendSettings> cases = blendCases(rng);
  for (const BlendSettings& b : cases) {
    for (const int count : {1, 15, 16, 17, 64}) {  // tails, whole vectors, a whole span
      SpanColours source;
      std::vector<std::uint32_t> target(count), expected(count);
      for (int i = 0; i < count; ++i) {
        // Saturated sources, some exactly 0 or 1.
        source.r[i] = i % 7 == 0 ? 1.0f : unit(rng);
        source.g[i] = i % 5 == 0 ? 0.0f : unit(rng);
        source.b[i] = unit(rng);
        source.a[i] = i % 3 == 0 ? float(i % 2) : unit(rng);
        target[i] = random32(rng);
        const float in[4] = {source.b[i], source.g[i], source.r[i], source.a[i]};
        expected[i] = referenceBlend(b, in, target[i]);
      }
      blendSpan(b, source, count, target.data());
      ASSERT_EQ(target, expected) << "factors " << int(b.srcColour) << ", " << int(b.destColour)
                                  << " op " << int(b.colourOp) << "; alpha " << int(b.srcAlpha)
                                  << ", " << int(b.destAlpha) << " op " << int(b.alphaOp)
                                  << "; " << count << " pixels";
    }
  }
}

TEST(FloatBlendSpanTest, CopyingBlendsRoundUnsaturatedSourcesAsSaturatingFirstWould) {
  // The rasteriser leaves saturation to the rounding where the blend takes
  // the source as it is.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float values[] = {nan, -inf, -2.0f, -0.0f, 0.0f, 0.25f, 1.0f, 1.5f, inf};
  BlendSettings replace;
  replace.enabled = true;  // source × 1 + destination × 0
  for (const BlendSettings& b : {BlendSettings{}, replace}) {
    ASSERT_TRUE(blendCopiesSource(b));
    SpanColours raw, saturated;
    constexpr int kCount = 20;
    for (int i = 0; i < kCount; ++i) {
      raw.r[i] = values[i % 9];
      raw.g[i] = values[(i + 3) % 9];
      raw.b[i] = values[(i + 5) % 9];
      raw.a[i] = values[(i + 7) % 9];
    }
    saturated = raw;
    saturateColours(kCount, saturated);
    std::vector<std::uint32_t> fromRaw(kCount, 0x12345678), fromSaturated(kCount, 0x12345678);
    blendSpan(b, raw, kCount, fromRaw.data());
    blendSpan(b, saturated, kCount, fromSaturated.data());
    EXPECT_EQ(fromRaw, fromSaturated);
  }
  BlendSettings over = replace;
  over.srcColour = BlendFactor::SrcAlpha;
  EXPECT_FALSE(blendCopiesSource(over));
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
          // Anywhere in the texture; every third round on multiples of
          // 2^-9 texel, where linear positions round halves to even.
          const std::uint64_t grid = round % 3 == 0 ? ~std::uint64_t{0x7FFFFF} : ~std::uint64_t{0};
          const auto fixed = [&](int size) {
            const std::uint64_t wide = std::uint64_t(random32(rng)) << 32 | random32(rng);
            return std::int64_t(wide % (std::uint64_t(size) << 32) & grid);
          };
          const auto step = [&] {
            return std::int64_t((std::uint64_t(random32(rng)) & grid) - (std::uint64_t{1} << 31));
          };
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
          for (const auto vectors : {VectorWidth::Widest, VectorWidth::Avx2, VectorWidth::Sse2}) {
            std::uint32_t stepped[kSpanPixels];
            steppedInsideSampler(filter, vectors)(view, steps, count, stepped);
            ASSERT_TRUE(std::equal(stepped, stepped + count, addressed))
                << width << " x " << height << (filter == Filter::Point ? " point" : " linear")
                << (vectors == VectorWidth::Sse2 ? ", baseline" : vectors == VectorWidth::Avx2 ? ", AVX2" : "");
          }
          ++compared;
        }
      }
    }
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace

namespace {

// at(x, y) + dx × i for each pixel of the clip and i < step, in double and
// in long double: equal everywhere when the double sums are exact.
bool exactByBruteForce(const AttributePlane& plane, const PlaneOrigin& origin,
                       const ClipRect& clip, int step) {
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int x = clip.left; x < clip.right; ++x) {
      const double start = plane.at(origin, x, y);
      const long double wide = static_cast<long double>(plane.at0) +
                               static_cast<long double>(plane.dx) * (x - static_cast<long double>(origin.x0)) +
                               static_cast<long double>(plane.dy) * (y - static_cast<long double>(origin.y0));
      if (static_cast<long double>(start) != wide) return false;
      for (int i = 1; i < step; ++i) {
        if (start + plane.dx * i != plane.at(origin, x + i, y)) return false;
      }
    }
  }
  return true;
}

}  // namespace

TEST(RasterArithmeticTest, PlanesFoundExactInterpolateExactlyAlongEveryRow) {
  const ClipRect clip{0, 0, 48, 3};
  const auto planeOf = [](double at0, double dx, double dy) {
    AttributePlane plane;
    plane.at0 = at0;
    plane.dx = dx;
    plane.dy = dy;
    return plane;
  };
  PlaneOrigin origin;
  origin.x0 = -0.5;
  origin.y0 = -0.5;
  // Fixed cases: a texel-for-pixel quad and one scaled by a power of two are
  // exact; steps of a third, and values that are not numbers, are not.
  EXPECT_TRUE(interpolatesExactly(planeOf(0, 1.0 / 1024, 0), origin, clip, 8));
  EXPECT_TRUE(interpolatesExactly(planeOf(0.25, 1.0 / 4096, 1.0 / 64), origin, clip, 8));
  EXPECT_FALSE(interpolatesExactly(planeOf(0, 1.0 / 3, 0), origin, clip, 8));
  EXPECT_FALSE(interpolatesExactly(planeOf(std::nan(""), 0, 0), origin, clip, 8));
  EXPECT_FALSE(interpolatesExactly(planeOf(0, HUGE_VAL, 0), origin, clip, 8));
  // Random planes on dyadic grids up to the limits: whatever is found exact
  // must be so.
  std::mt19937 rng(11);
  const auto dyadic = [&](int maxBits, int lowExponent, int highExponent) {
    const auto bits = std::uniform_int_distribution<int>(0, maxBits)(rng);
    const double whole = static_cast<double>(rng() % (std::uint64_t{1} << std::min(bits, 31)));
    const int exponent = std::uniform_int_distribution<int>(lowExponent, highExponent)(rng);
    return std::ldexp(rng() % 2 ? whole : -whole, exponent);
  };
  int exact = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    PlaneOrigin at;
    at.x0 = dyadic(24, -8, 0);
    at.y0 = dyadic(24, -8, 0);
    const AttributePlane plane = planeOf(dyadic(31, -60, 10), dyadic(31, -60, 0), dyadic(31, -60, 0));
    if (!interpolatesExactly(plane, at, clip, 8)) continue;
    ++exact;
    ASSERT_TRUE(exactByBruteForce(plane, at, clip, 8))
        << plane.at0 << " " << plane.dx << " " << plane.dy << " " << at.x0 << " " << at.y0;
  }
  EXPECT_GT(exact, 300);
}
