// The colour keys and the replacement on plain memory against the reference
// loops, with keys that match nothing, everything and only by alpha; then the
// worked values through the commands.
#include "color_key_reference.h"
#include "host_fixture.h"
#include "filters/instruction_sets.h"
#include "filters/test_image.h"

#include "filters/color_key/color_key.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

namespace filter_test {
namespace {

// Images drawn from the key itself (with several alphas), its near
// neighbours, and random colours; and fully random ones.
std::vector<TestImage> imagesAround(std::uint32_t key, std::uint32_t w, std::uint32_t h, std::mt19937& rng) {
  const std::uint32_t rgb = key & 0xFFFFFF;
  std::vector<std::uint32_t> palette{rgb, rgb | 0xFF000000, rgb | 0x80000000, key, key ^ 0x00000001, key ^ 0x00010000,
                                     key ^ 0x01000000, 0x00000000, 0xFFFFFFFF, 0xFF808080};
  for (int i = 0; i < 6; ++i) palette.push_back(static_cast<std::uint32_t>(rng()));
  std::vector<TestImage> images;
  images.push_back(paletteImage(w, h, rng, 4 * (rng() % 4), palette));
  images.push_back(randomImage(w, h, rng, 4));
  images.push_back(paletteImage(w, h, rng, 0, {rgb, rgb | 0xFF000000}));  // the key everywhere
  return images;
}

std::vector<std::uint32_t> keys(std::mt19937& rng) {
  // Every key with its bytes at 0 or 255, then keys inside the range.
  std::vector<std::uint32_t> k{0x00000000, 0xFF000000, 0x00FFFFFF, 0xFFFFFFFF, 0x0000FF00, 0x00FF0000, 0x000000FF,
                               0x00FF00FF, 0x0000FFFF, 0x00FFFF00, 0x00808080, 0x00010101, 0x00FEFEFE, 0x7F00FF01};
  for (int i = 0; i < 8; ++i) k.push_back(static_cast<std::uint32_t>(rng()));
  return k;
}

template <class Kernel, class Reference>
void expectMatches(Kernel kernel, Reference reference, std::uint32_t seed) {
  forEveryInstructionSet([&](const char* set) {
    std::mt19937 rng(seed);
    for (const auto& [w, h] : awkwardSizes()) {
      for (std::uint32_t key : keys(rng)) {
        for (TestImage& real : imagesAround(key, w, h, rng)) {
          TestImage expected = real;
          reference(expected, key);
          kernel(real.rect(), key);
          ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << w << "x" << h << " key " << std::hex << key << " " << set;
          ASSERT_TRUE(real.paddingIntact());
        }
      }
    }
  });
}

TEST(ColorKeys, HardKeyMatchesTheReference) { expectMatches(tessaly::keyColourHard, referenceHardKey, 21); }

TEST(ColorKeys, SoftKeyMatchesTheReference) { expectMatches(tessaly::keyColourSoft, referenceSoftKey, 22); }

// Every pixel colour whose bytes come from a spread of values, under keys
// whose bytes sit at 0, 255 and in between: every branch of the candidate
// rule with every ordering of the three channels.
TEST(ColorKeys, SoftKeyMatchesTheReferenceOnAGridOfColours) {
  const std::uint32_t levels[] = {0, 1, 2, 63, 64, 127, 128, 129, 191, 253, 254, 255};
  std::vector<std::uint32_t> grid;
  for (std::uint32_t r : levels)
    for (std::uint32_t g : levels)
      for (std::uint32_t b : levels) grid.push_back(0x5A000000u | r << 16 | g << 8 | b);
  const auto side = static_cast<std::uint32_t>(std::size(levels));
  forEveryInstructionSet([&](const char* set) {
    for (std::uint32_t kr : levels) {
      for (std::uint32_t kb : {0u, 128u, 255u}) {
        const std::uint32_t key = kr << 16 | (255 - kr) << 8 | kb;
        TestImage real(side * side, side, 8);
        for (std::uint32_t i = 0; i < grid.size(); ++i) real.setWord(i % (side * side), i / (side * side), grid[i]);
        TestImage expected = real;
        referenceSoftKey(expected, key);
        tessaly::keyColourSoft(real.rect(), key);
        ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << "key " << std::hex << key << " " << set;
      }
    }
  });
}

// The colours 0x80000000 | (i * step mod 2^24), a row of 4096 after another
// (a step prime to 2^24 keeps them distinct), soft keyed by every
// instruction set under each key, against the reference.
void expectEveryColourMatches(std::uint32_t step, std::initializer_list<std::uint32_t> keys) {
  const std::uint32_t rows = (1u << 24) / step / 4096;
  TestImage colours(4096, rows, 0);
  for (std::uint32_t i = 0; i < 4096 * rows; ++i) colours.setWord(i % 4096, i / 4096, 0x80000000u | ((i * step) & 0xFFFFFFu));
  for (const std::uint32_t key : keys) {
    TestImage expected = colours;
    referenceSoftKey(expected, key);
    forEveryInstructionSet([&](const char* set) {
      TestImage real = colours;
      tessaly::keyColourSoft(real.rect(), key);
      ASSERT_TRUE(real.memory == expected.memory) << "key " << std::hex << key << " " << set;
    });
  }
}

// Every one of the 2^24 colours under a key with a channel at each end and
// one in between, and under one with three unlike bytes inside.
TEST(ColorKeys, SoftKeyMatchesTheReferenceForEveryColour) { expectEveryColourMatches(1, {0x00FF8000u, 0x003C91D7u}); }

// Every colour under each of the eight keys whose bytes are all 0 or 255,
// which the kernels take through passes of their own; the sanitizer build
// takes every seventh colour.
TEST(ColorKeys, SoftKeyMatchesTheReferenceForEveryColourUnderEachKeyAtTheEdges) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr std::uint32_t kStep = 7;
#else
  constexpr std::uint32_t kStep = 1;
#endif
  expectEveryColourMatches(kStep, {0x000000u, 0x0000FFu, 0x00FF00u, 0x00FFFFu, 0xFF0000u, 0xFF00FFu, 0xFFFF00u, 0xFFFFFFu});
}

// Every key byte against every pixel byte in one channel (the others equal
// to the key's): each fraction (k - p) / k and (p - k) / (255 - k) once.
TEST(ColorKeys, SoftKeyMatchesTheReferenceForEveryFraction) {
  forEveryInstructionSet([&](const char* set) {
    for (std::uint32_t k = 0; k < 256; ++k) {
      const std::uint32_t key = k << 16 | 0x1234;
      TestImage real(256, 1, 4);
      for (std::uint32_t p = 0; p < 256; ++p) real.setWord(p, 0, 0xFF000000u | p << 16 | 0x1234);
      TestImage expected = real;
      referenceSoftKey(expected, key);
      tessaly::keyColourSoft(real.rect(), key);
      ASSERT_EQ(real.pixelBytes(), expected.pixelBytes()) << "key red " << k << " " << set;
    }
  });
}

TEST(ColorKeys, ReplaceMatchesTheReference) {
  expectMatches([](const tessaly::PixelRect& image, std::uint32_t source) { tessaly::replaceColour(image, ~source, source); },
                [](TestImage& image, std::uint32_t source) { referenceReplace(image, ~source, source); }, 23);
}

// The worked values, through the commands.
class ColorKeyCommands : public HostFixture {
 protected:
  template <class Command>
  std::vector<std::uint32_t> apply(const std::vector<std::uint32_t>& words, Command command) {
    makePlain(1, static_cast<UINT>(words.size()), 1, words);
    command(1);
    return pixels(1);
  }
  std::vector<std::uint32_t> soft(const std::vector<std::uint32_t>& words, DWORD key) {
    return apply(words, [key](DWORD i) { ColorToAlphaSoft(i, key, 1); });
  }
};

TEST_F(ColorKeyCommands, HardKeyIgnoresTheAlphaOfKeyAndPixel) {
  const std::vector<std::uint32_t> in{0xFF00FF00, 0x8000FF00, 0x0000FF00, 0xFF00FF01, 0xFF10FF00};
  const std::vector<std::uint32_t> keyed{0x0000FF00, 0x0000FF00, 0x0000FF00, 0xFF00FF01, 0xFF10FF00};
  EXPECT_EQ(apply(in, [](DWORD i) { ColorToAlphaHard(i, 0x0000FF00); }), keyed);
  EXPECT_EQ(apply(in, [](DWORD i) { ColorToAlphaHard(i, 0xFF00FF00); }), keyed);
}

TEST_F(ColorKeyCommands, ModeZeroIsTheHardKeyAndEveryOtherModeTheSoftOne) {
  const std::vector<std::uint32_t> in{0xFF808080, 0x40FFFFFF, 0xFF0000FF, 0xFFFFFFFE};
  EXPECT_EQ(apply(in, [](DWORD i) { ColorToAlphaSoft(i, 0xFFFFFF, 0); }),
            apply(in, [](DWORD i) { ColorToAlphaHard(i, 0xFFFFFF); }));
  const auto softOne = soft(in, 0xFFFFFF);
  for (DWORD mode : {2u, 3u, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(apply(in, [mode](DWORD i) { ColorToAlphaSoft(i, 0xFFFFFF, mode); }), softOne) << "mode " << mode;
  }
}

TEST_F(ColorKeyCommands, SoftKeyWorkedValues) {
  // White key: grey 128 -> black at alpha 127; white -> transparent black;
  // pure blue keeps (its red and green already need full opacity).
  EXPECT_EQ(soft({0xFF808080, 0xFFFFFFFF, 0xFF0000FF}, 0xFFFFFF),
            (std::vector<std::uint32_t>{0x7F000000, 0x00000000, 0xFF0000FF}));
  // Black key: pure red keeps; red 128, green 64 -> alpha 128, red 254, green 127.
  EXPECT_EQ(soft({0xFFFF0000, 0xFF804000}, 0x000000), (std::vector<std::uint32_t>{0xFFFF0000, 0x80FE7F00}));
  // Green key: half-transparent pure green -> transparent black.
  EXPECT_EQ(soft({0x8000FF00}, 0x00FF00), std::vector<std::uint32_t>{0x00000000});
  // Blue key: opaque blue 128 -> black at alpha 127.
  EXPECT_EQ(soft({0xFF000080}, 0x0000FF), std::vector<std::uint32_t>{0x7F000000});
}

// The removal fraction of red 128 over a black key is the float nearest to
// 128 / 255, which lies just above it: hence 254 rather than 255.
TEST(ColorKeys, TheRemovalFractionIsTheNearestFloat) {
  const float a = 128.0f / 255.0f;
  EXPECT_GT(static_cast<double>(a), 128.0 / 255.0);
  EXPECT_EQ(static_cast<int>(128.0f / a), 254);
}

TEST_F(ColorKeyCommands, ReplaceComparesTheWholeWord) {
  const std::vector<std::uint32_t> in{0x00000000, 0xFF000000, 0x7F000000, 0xFF000001};
  EXPECT_EQ(apply(in, [](DWORD i) { ReplaceImageColor(i, 0x12345678, 0xFF000000); }),
            (std::vector<std::uint32_t>{0x00000000, 0x12345678, 0x7F000000, 0xFF000001}));
  EXPECT_EQ(apply(in, [](DWORD i) { ReplaceImageColor(i, 0xFF000000, 0xFF000000); }), in);
}

}  // namespace
}  // namespace filter_test
