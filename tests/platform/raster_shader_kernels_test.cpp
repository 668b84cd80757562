// The float span kernels a pixel-shader draw runs, against plain per-pixel
// reference loops: the colour conversions, the texel
// coordinates of tex2D lookups (from float arrays and from the interpolated
// plane, the vector and scalar forms, the exact stepping shortcut) and the
// lookups themselves through every filter and address mode.
#include "d3d9/raster/shader_texel_coords.h"
#include "d3d9/raster/shader_texture_access.h"
#include "d3d9/raster/span_colours.h"
#include "d3d9/raster/texture_sampler.h"
#include "d3d9/raster/unorm8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace swd3d::raster;

std::uint32_t random32(std::mt19937& rng) { return static_cast<std::uint32_t>(rng()); }

TEST(SpanColoursTest, SaturationLimitsToTheUnitRangeAndTurnsNaNToZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float in[] = {nan, -nan, -inf, -1.0f, -0.0f, 0.5f, 1.0f, 2.0f, inf};
  const float out[] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 1.0f, 1.0f, 1.0f};
  for (const int count : {9, 64}) {  // a tail only, and whole vectors
    SpanColours colours;
    for (int i = 0; i < count; ++i) {
      colours.r[i] = colours.g[i] = colours.b[i] = colours.a[i] = in[i % 9];
    }
    saturateColours(count, colours);
    for (int i = 0; i < count; ++i) {
      for (const float* channelValues : {colours.r, colours.g, colours.b, colours.a}) {
        ASSERT_EQ(channelValues[i], out[i % 9]) << i << " of " << count;
      }
    }
  }
}

TEST(SpanColoursTest, UnpackingGivesEachByteOver255) {
  std::mt19937 rng(13);
  for (const int count : {5, 16, 64}) {
    std::vector<std::uint32_t> words(count);
    for (auto& w : words) w = random32(rng);
    SpanColours colours;
    unpackColours(words.data(), count, colours);
    for (int i = 0; i < count; ++i) {
      ASSERT_EQ(colours.a[i], fromUnorm8(words[i] >> 24));
      ASSERT_EQ(colours.r[i], fromUnorm8(words[i] >> 16 & 0xFF));
      ASSERT_EQ(colours.g[i], fromUnorm8(words[i] >> 8 & 0xFF));
      ASSERT_EQ(colours.b[i], fromUnorm8(words[i] & 0xFF));
    }
  }
}

const AddressMode kModes[] = {AddressMode::Wrap, AddressMode::Mirror, AddressMode::Clamp,
                              AddressMode::Border, AddressMode::MirrorOnce};

bool referenceEven(const std::vector<std::int64_t>& v) {
  for (std::size_t i = 2; i < v.size(); ++i) {
    if (v[i] - v[i - 1] != v[1] - v[0]) return false;
  }
  return true;
}

TEST(ShaderTexelCoordsTest, VectorAndScalarConversionsGiveToFixedTexelsOfEveryCoordinate) {
  std::mt19937 rng(17);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float specials[] = {nan, std::numeric_limits<float>::infinity(), -1e30f, 3e8f, -0.0f,
                            1e-30f, -1e-30f, 0.5f / 64, 1.0f};
  for (int round = 0; round < 400; ++round) {
    const int count = 1 + int(random32(rng) % 64);
    const int size = 1 + int(random32(rng) % 300);
    const AddressMode mode = kModes[round % 5];
    std::vector<float> coords(count);
    const int kind = round % 4;
    const float start = std::ldexp(float(int(random32(rng) % 4096) - 2048), -10);
    const float step = std::ldexp(float(int(random32(rng) % 64) - 32), -12);
    for (int i = 0; i < count; ++i) {
      switch (kind) {
        case 0: coords[i] = start + step * float(i); break;  // evenly stepped
        case 1: coords[i] = std::uniform_real_distribution<float>(-3, 3)(rng); break;
        case 2: coords[i] = specials[random32(rng) % 9]; break;
        default: coords[i] = i % 11 == 5 ? specials[random32(rng) % 9] : start + step * float(i);
      }
    }
    std::vector<std::int64_t> expected(count);
    for (int i = 0; i < count; ++i) expected[i] = toFixedTexels(double(coords[i]) * size, mode, size);
    for (const bool widest : {true, false}) {
      std::vector<std::int64_t> out(count);
      const bool even = fixedTexelSpan(coords.data(), count, size, mode, out.data(), widest);
      ASSERT_EQ(out, expected) << "round " << round << (widest ? "" : ", scalar");
      ASSERT_EQ(even, referenceEven(expected)) << "round " << round;
    }
  }
}

TEST(ShaderTexelCoordsTest, InterpolatedCoordinatesConvertAsTheirFloatsDo) {
  std::mt19937 rng(19);
  struct Plane {
    double start, step;
  };
  std::vector<Plane> planes = {
      {0.5 / 1024, 1.0 / 1024},   // texel for pixel
      {0.25, 0.0},                 // constant along the row
      {0.1, 1.0 / 3},              // steps that round
      {-3.75, 0.125},              // negative, exactly stepped
      {1e12, 1.0},                 // beyond the direct range
      {std::nan(""), 0.0},         // NaN
      {1.0 / 64, -std::ldexp(1.0, -33)},  // below the 2^-32 quantum
      {std::ldexp(1.0, -20), std::ldexp(1.0, -36)},  // the same, small enough for floats
  };
  for (int i = 0; i < 200; ++i) {
    planes.push_back({std::ldexp(double(int(random32(rng) % 8192) - 4096), -int(random32(rng) % 16)),
                      std::ldexp(double(int(random32(rng) % 512) - 256), -int(random32(rng) % 20))});
  }
  int exact = 0;
  for (const Plane& p : planes) {
    for (const int count : {1, 2, 7, 64}) {
      for (const int size : {1, 3, 1024}) {
        const AddressMode mode = kModes[(count + size) % 5];
        std::vector<std::int64_t> expected(count);
        for (int i = 0; i < count; ++i) {
          const float coord = static_cast<float>(p.start + p.step * i);
          expected[i] = toFixedTexels(double(coord) * size, mode, size);
        }
        for (const bool widest : {true, false}) {
          std::vector<std::int64_t> out(count);
          const bool even = fixedTexelSpan(p.start, p.step, count, size, mode, out.data(), widest);
          ASSERT_EQ(out, expected) << p.start << " + " << p.step << " i, " << count << " x " << size;
          ASSERT_EQ(even, referenceEven(expected));
        }
        if (const auto steps = exactFixedSteps(p.start, p.step, count, size)) {
          ++exact;
          for (int i = 0; i < count; ++i) {
            ASSERT_EQ(steps->first + steps->step * i, expected[i])
                << p.start << " + " << p.step << " i, pixel " << i << " of " << count;
          }
        }
      }
    }
  }
  EXPECT_GT(exact, 500);  // the shortcut is taken where it should be
  EXPECT_TRUE(exactFixedSteps(0.5 / 1024, 1.0 / 1024, 64, 1024).has_value());
  EXPECT_FALSE(exactFixedSteps(0.1, 1.0 / 3, 64, 1024).has_value());
  EXPECT_FALSE(exactFixedSteps(1e12, 1.0, 64, 16).has_value());
}

// Every filter and pair of address modes, on spans that stay inside, cross
// an edge, step texel for pixel, scale, run backwards or hold NaN: the
// lookups give the texels the general kernel gives pixel by pixel, from the
// float coordinates and from the plane they were interpolated on alike.
TEST(DrawTextureAccessTest, LookupsMatchTheGeneralKernelPixelByPixel) {
  std::mt19937 rng(23);
  for (const int width : {7, 64}) {
    const int height = 5;
    std::vector<std::uint32_t> texels(std::size_t(width) * height);
    for (auto& t : texels) t = random32(rng);
    const PixelPlane plane{reinterpret_cast<std::uint8_t*>(texels.data()), width * 4, width, height};
    for (const Filter filter : {Filter::Point, Filter::Linear}) {
      for (const AddressMode u : kModes) {
        for (const AddressMode v : kModes) {
          std::array<TextureBinding, kShaderStages> bindings{};
          bindings[2].texels = &plane;
          bindings[2].sampler = {filter, filter, u, v, 0xFF336699, 0.0f};
          DrawTextureAccess access(bindings);
          access.setGradients(1.0 / width, 0.0, 0.0, 1.0 / height);  // magnifies
          const swd3d::SpanTexCoords planes[] = {
              {0.5 / width, 1.0 / width, 2.5 / height, 0.0},    // texel for pixel
              {-0.3, 0.75 / width, 0.5, 0.25 / height},          // crossing edges
              {1.7, -1.0 / width, -0.2, 0.0},                    // backwards, outside
              {0.1, 1.0 / (3 * width), 0.9, -1.0 / (7 * height)},  // rounding steps
              {std::nan(""), 0.0, 0.5, 0.0},
          };
          for (const swd3d::SpanTexCoords& at : planes) {
            for (const int count : {1, 13, 64}) {
              float us[kSpanPixels], vs[kSpanPixels];
              TexelCoords coords;
              for (int i = 0; i < count; ++i) {
                us[i] = static_cast<float>(at.uStart + at.uStep * i);
                vs[i] = static_cast<float>(at.vStart + at.vStep * i);
                coords.s[i] = toFixedTexels(double(us[i]) * width, u, width);
                coords.t[i] = toFixedTexels(double(vs[i]) * height, v, height);
              }
              std::uint32_t words[kSpanPixels];
              for (int i = 0; i < count; ++i) {  // one pixel at a time
                TexelCoords one;
                one.s[0] = coords.s[i];
                one.t[0] = coords.t[i];
                spanSampler(filter, u, v)({plane, 0xFF336699}, one, 1, words + i);
              }
              SpanColours expected;
              unpackColours(words, count, expected);
              SpanColours fromFloats, fromPlane;
              access.sample(2, count, us, vs, fromFloats);
              access.sampleInterpolated(2, count, at, fromPlane);
              for (int i = 0; i < count; ++i) {
                for (const auto& [got, what] : {std::pair{&fromFloats, "floats"}, {&fromPlane, "plane"}}) {
                  ASSERT_TRUE(got->r[i] == expected.r[i] && got->g[i] == expected.g[i] &&
                              got->b[i] == expected.b[i] && got->a[i] == expected.a[i])
                      << what << ": width " << width << (filter == Filter::Point ? " point" : " linear")
                      << " modes " << int(u) << "," << int(v) << " start " << at.uStart
                      << " pixel " << i << " of " << count;
                }
              }
            }
          }
        }
      }
    }
  }
}

TEST(DrawTextureAccessTest, AStageWithoutATextureReadsOpaqueBlack) {
  const std::array<TextureBinding, kShaderStages> bindings{};
  const DrawTextureAccess access(bindings);
  SpanColours out;
  access.sampleInterpolated(0, 3, {0.5, 0.1, 0.5, 0.0}, out);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(out.r[i], 0.0f);
    EXPECT_EQ(out.a[i], 1.0f);
  }
}

}  // namespace
