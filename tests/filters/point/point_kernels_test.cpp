// The point filters' vector kernels against the plain rules, word for word,
// with every instruction set: random pictures of awkward widths (so that
// rows end inside a vector), every byte value in every channel, and factors
// at the edges of their ranges.
#include "filters/point/point_rules.h"
#include "filters/point/scale_steps.h"
#include "filters/point/tone_pixels.h"
#include "filters/threshold.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

using plugin_test_hooks::kEveryInstructionSet;
using plugin_test_hooks::useInstructionSet;
using tessaly::PixelRect;
using tessaly::simd::InstructionSet;
namespace point = tessaly::point;

// Words in rows of `width`, each row followed by padding that must stay.
struct Words {
  std::uint32_t width, height, pitchWords;
  std::vector<std::uint32_t> words;
  static constexpr std::uint32_t kPadding = 0xA5A5A5A5u;

  Words(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t gap = 3) : width(w), height(h), pitchWords(w + gap) {
    words.assign(std::size_t{pitchWords} * h, kPadding);
    for (std::uint32_t y = 0; y < h; ++y)
      for (std::uint32_t x = 0; x < w; ++x) at(x, y) = static_cast<std::uint32_t>(rng());
  }
  std::uint32_t& at(std::uint32_t x, std::uint32_t y) { return words[std::size_t{y} * pitchWords + x]; }
  PixelRect rect() {
    return {reinterpret_cast<std::uint8_t*>(words.data()), static_cast<std::int32_t>(4 * pitchWords), width, height};
  }
  // The rule applied to every word, the padding left alone.
  Words mapped(const std::function<std::uint32_t(std::uint32_t)>& rule) const {
    Words out = *this;
    for (std::uint32_t y = 0; y < height; ++y)
      for (std::uint32_t x = 0; x < width; ++x) out.at(x, y) = rule(out.at(x, y));
    return out;
  }
};

// Every instruction set, on pictures from 1 to 70 words wide and one wide
// picture, rows with a gap between them and without (the whole picture one
// run of words), against the rule.
void expectRule(const char* what, const std::function<void(const PixelRect&)>& filter,
                const std::function<std::uint32_t(std::uint32_t)>& rule) {
  std::mt19937 rng(17);
  for (InstructionSet set : kEveryInstructionSet) {
    useInstructionSet(set);
    for (std::uint32_t gap : {3u, 0u})
      for (std::uint32_t width : {1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 33u, 63u, 64u, 65u, 70u, 1001u}) {
        Words real(width, width > 100 ? 40 : 3, rng, gap);
        const Words expected = real.mapped(rule);
        filter(real.rect());
        ASSERT_EQ(real.words, expected.words)
            << what << ", " << width << " wide, gap " << gap << " (" << plugin_test_hooks::name(set) << ")";
      }
  }
  useInstructionSet(InstructionSet::avx512);
}

TEST(PointKernels, NegativeAndThresholdFollowTheirRules) {
  expectRule("negative", tessaly::negativePixels, point::negative);
  for (std::uint32_t mask : {0u, 0xFFu, 0xFF00u, 0x00FF0000u, 0xFF000000u, 0x00FFFFFFu, 0xFFFFFFFFu, 0x0F0F0F0Fu}) {
    for (std::uint32_t v : {0u, 1u, 127u, 128u, 200u, 255u}) {
      const auto value = static_cast<std::uint8_t>(v);
      const std::uint32_t masked = value * 0x01010101u & mask;
      expectRule("threshold", [&](const PixelRect& r) { tessaly::thresholdPixels(r, value, mask); },
                 [&](std::uint32_t p) { return point::threshold(p, mask, masked); });
    }
  }
}

TEST(PointKernels, GreysFollowTheirRules) {
  expectRule("lightness", [](const PixelRect& r) { tessaly::desaturatePixels(r, tessaly::GreyMode::lightness); },
             point::grey<point::lightnessGrey>);
  expectRule("weighted", [](const PixelRect& r) { tessaly::desaturatePixels(r, tessaly::GreyMode::weighted); },
             point::grey<point::weightedGrey>);
  expectRule("average", [](const PixelRect& r) { tessaly::desaturatePixels(r, tessaly::GreyMode::average); },
             point::grey<point::averageGrey>);
}

// Every (blue, green, red) triple, in 4096 x 4096 words, for the two greys
// whose vector form is an integer rewriting of the rule (with the widest
// set: the others do the same integer steps in narrower lanes, and are
// compared with the rule above).
TEST(PointKernels, IntegerGreysAreExactForEveryColour) {
  std::vector<std::uint32_t> words(std::size_t{1} << 24);
  for (std::uint32_t i = 0; i < words.size(); ++i) words[i] = i | (i * 2654435761u & 0xFF000000u);
  for (const auto mode : {tessaly::GreyMode::weighted, tessaly::GreyMode::average}) {
    std::vector<std::uint32_t> real = words;
    tessaly::desaturatePixels({reinterpret_cast<std::uint8_t*>(real.data()), 4 * 4096, 4096, 4096}, mode);
    const auto rule = mode == tessaly::GreyMode::weighted ? point::grey<point::weightedGrey> : point::grey<point::averageGrey>;
    for (std::size_t i = 0; i < words.size(); ++i)
      if (real[i] != rule(words[i])) FAIL() << "word " << std::hex << words[i];
  }
}

TEST(PointKernels, SaturationFollowsItsRule) {
  for (float s : {0.4f, 0.999f, 1e-30f, -1e-30f, -1.0f, -0.25f, -1e6f, 0.5f, std::nextafter(1.0f, 0.0f)}) {
    const double keep = s, toward = 1.0 - keep;
    expectRule("saturation", [&](const PixelRect& r) { tessaly::saturationPixels(r, s); },
               [&](std::uint32_t p) { return point::saturation(p, keep, toward); });
  }
}

// Colours whose results lie on or next to whole numbers (greys, and blue equal
// to green, with s a simple fraction), where single precision cannot decide
// and the rule must.
TEST(PointKernels, SaturationOnWholeNumbersFollowsItsRule) {
  std::vector<std::uint32_t> words;
  for (std::uint32_t first = 0; first < 256; ++first)
    for (std::uint32_t red = 0; red < 256; ++red) words.push_back(0x80000000u | red << 16 | first << 8 | first);
  for (InstructionSet set : kEveryInstructionSet) {
    useInstructionSet(set);
    for (float s : {0.5f, 0.25f, 0.75f, 0.4f, 0.8f, 0.0078125f}) {
      const double keep = s, toward = 1.0 - keep;
      std::vector<std::uint32_t> real = words;
      tessaly::saturationPixels({reinterpret_cast<std::uint8_t*>(real.data()), 4 * 256, 256, 256}, s);
      for (std::size_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(real[i], point::saturation(words[i], keep, toward))
            << std::hex << words[i] << " s=" << s << " (" << plugin_test_hooks::name(set) << ")";
    }
  }
  useInstructionSet(InstructionSet::avx512);
}

// Every (blue, green, red) triple in one run of 2^24 words, with every set:
// the single-precision kernel must find every word it cannot decide.
TEST(PointKernels, SaturationIsExactForEveryColour) {
  std::vector<std::uint32_t> words(std::size_t{1} << 24);
  for (std::uint32_t i = 0; i < words.size(); ++i) words[i] = i | (i * 2654435761u & 0xFF000000u);
  for (float s : {0.4f, 0.999f, 0.1f}) {
    const double keep = s, toward = 1.0 - keep;
    std::vector<std::uint32_t> expected(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) expected[i] = point::saturation(words[i], keep, toward);
    for (InstructionSet set : kEveryInstructionSet) {
      useInstructionSet(set);
      std::vector<std::uint32_t> real = words;
      tessaly::saturationPixels({reinterpret_cast<std::uint8_t*>(real.data()), 4 * 4096, 4096, 4096}, s);
      for (std::size_t i = 0; i < words.size(); ++i)
        if (real[i] != expected[i])
          FAIL() << "word " << std::hex << words[i] << " s=" << s << " (" << plugin_test_hooks::name(set) << ")";
    }
  }
  useInstructionSet(InstructionSet::avx512);
}

// Pixels at an address that is no multiple of 4 (no whole vector lines up)
// go through the same rules.
TEST(PointKernels, PixelsAtAnOddAddressFollowTheRules) {
  std::mt19937 rng(19);
  std::vector<std::uint8_t> bytes(4 * 300 + 1);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
  const PixelRect rect{bytes.data() + 1, 4 * 100, 100, 3};
  std::vector<std::uint8_t> expected = bytes;
  for (std::size_t i = 0; i < 300; ++i) {
    std::uint8_t* p = expected.data() + 1 + 4 * i;
    tessaly::storePixel(p, point::saturation(tessaly::loadPixel(p), double{0.4f}, 1.0 - double{0.4f}));
    tessaly::storePixel(p, point::negative(tessaly::loadPixel(p)));
  }
  tessaly::saturationPixels(rect, 0.4f);
  tessaly::negativePixels(rect);
  EXPECT_EQ(bytes, expected);
}

TEST(PointKernels, BrightnessFollowsItsTables) {
  const float inf = std::numeric_limits<float>::infinity();
  const float factors[][4] = {
      {0.8f, 1.25f, 0.5f, 0.9f}, {1.0f, 1.0f, 1.0f, 1.0f},    {0.0f, 2.0f, 255.5f, 256.0f},
      {1e-30f, 3e38f, inf, -inf}, {0.001953125f, 0.0025f, 0.00390625f, 0.0039f}, {1.0f / 3, 2.0f / 3, 1.5f, 100.0f},
      {std::nanf(""), 0.5f, 0.501f, 0.499f},
  };
  for (const auto& f : factors) {
    for (bool withAlpha : {false, true}) {
      point::ByteTable tables[4];
      for (int k = 0; k < 4; ++k) tables[k] = point::brightnessTable(point::brightnessFactor(k == 3 && !withAlpha ? 1.0f : f[k]));
      expectRule("brightness", [&](const PixelRect& r) { tessaly::brightnessPixels(r, f, withAlpha); },
                 [&](std::uint32_t p) { return point::brightness(p, tables); });
    }
  }
}

// The lane-wise form of a brightness table exists for nearly every factor,
// so that the kernels are what runs; where one is given it is exact.
TEST(PointKernels, BrightnessStepsCoverNearlyEveryFactor) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> wide(0.0f, 300.0f), narrow(0.0f, 0.01f);
  int found = 0, tried = 0;
  for (int i = 0; i < 4000; ++i, ++tried) {
    const float f = i % 2 == 0 ? wide(rng) : narrow(rng);
    const point::ByteTable table = point::brightnessTable(f);
    const auto step = point::scaleStepFor(f, table);
    if (!step) continue;
    ++found;
    for (std::uint32_t c = 0; c < 256; ++c)
      ASSERT_EQ(std::min<std::uint64_t>(255, (std::uint64_t{c} * step->multiplier + step->addend) >> step->shift), table[c]) << f;
  }
  EXPECT_GE(found, tried * 99 / 100);
}

}  // namespace
