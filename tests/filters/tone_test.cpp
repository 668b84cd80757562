// Tone adjustments: the worked values, alpha left alone where it must be,
// render targets refused with each command's own words, and undefined
// float inputs turned into defined results.
#include "host_fixture.h"

#include "filters/tone.h"

#include <cmath>
#include <limits>

namespace {

using ::testing::ExitedWithCode;

constexpr std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

class Tone : public HostFixture {
 protected:
  // Runs a command on a one-row image of the given pixels and returns the result.
  template <class Command>
  std::vector<std::uint32_t> apply(std::vector<std::uint32_t> words, Command command) {
    makePlain(1, static_cast<UINT>(words.size()), 1, words);
    command(1);
    return pixels(1);
  }
};

TEST_F(Tone, BrightnessScalesEachChannelRoundingHalfUpAndSaturating) {
  const auto out = apply({argb(10, 200, 1, 3), argb(20, 100, 3, 255)},
                         [](DWORD i) { SetImageBrightness(i, 2.0f, 0.5f, 1.5f); });
  // red x2 saturates, green x0.5: 1 -> 1 and 3 -> 2; blue x1.5: 3 -> 5 (4.5 up), 255 -> 255.
  EXPECT_EQ(out[0], argb(10, 255, 1, 5));
  EXPECT_EQ(out[1], argb(20, 200, 2, 255));

  EXPECT_EQ(apply({argb(9, 100, 100, 100)}, [](DWORD i) { SetImageBrightness(i, 1.5f, 1.0f, -1.0f); })[0],
            argb(9, 150, 100, 0));
}

TEST_F(Tone, BrightnessWithAlphaScalesAlphaToo) {
  EXPECT_EQ(apply({argb(200, 1, 2, 3)}, [](DWORD i) { SetImageBrightnessA(i, 1, 1, 1, 0.0f); })[0],
            argb(0, 1, 2, 3));
  EXPECT_EQ(apply({argb(100, 1, 2, 3)}, [](DWORD i) { SetImageBrightnessA(i, 1, 1, 1, 3.0f); })[0],
            argb(255, 1, 2, 3));
}

TEST_F(Tone, BrightnessFactorOneChangesNothing) {
  std::vector<std::uint32_t> every(256);
  for (std::uint32_t v = 0; v < 256; ++v) every[v] = argb(255 - v, v, (v * 7) & 0xFF, 255 - v);
  EXPECT_EQ(apply(every, [](DWORD i) { SetImageBrightnessA(i, 1, 1, 1, 1); }), every);
}

TEST_F(Tone, BrightnessWithNaNOrInfiniteFactorsIsDefined) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(apply({argb(50, 10, 0, 30)}, [&](DWORD i) { SetImageBrightnessA(i, nan, inf, inf, -inf); })[0],
            argb(0, 0, 0, 255));
}

TEST_F(Tone, DesaturateModes) {
  EXPECT_EQ(apply({argb(77, 10, 200, 30)}, [](DWORD i) { DesaturateImage(i, 1); })[0],
            argb(77, 105, 105, 105));
  EXPECT_EQ(apply({argb(5, 1, 1, 2)}, [](DWORD i) { DesaturateImage(i, 3); })[0], argb(5, 1, 1, 1));
  const auto grey = apply({argb(1, 0, 0, 255), argb(2, 255, 0, 0), argb(3, 0, 255, 0),
                           argb(4, 255, 255, 255), argb(5, 100, 100, 100)},
                          [](DWORD i) { DesaturateImage(i, 2); });
  EXPECT_EQ(grey, (std::vector<std::uint32_t>{argb(1, 79, 79, 79), argb(2, 20, 20, 20),
                                              argb(3, 155, 155, 155), argb(4, 255, 255, 255),
                                              argb(5, 100, 100, 100)}));
}

TEST_F(Tone, DesaturateWithAnUnknownModeLeavesTheImage) {
  const std::vector<std::uint32_t> in{argb(1, 2, 3, 4), argb(5, 6, 7, 8)};
  EXPECT_EQ(apply(in, [](DWORD i) { DesaturateImage(i, 0); }), in);
  EXPECT_EQ(apply(in, [](DWORD i) { DesaturateImage(i, 4); }), in);
  EXPECT_EQ(apply(in, [](DWORD i) { DesaturateImage(i, 0xFFFFFFFF); }), in);
}

TEST_F(Tone, SaturationMovesTowardTheWeightedGrey) {
  EXPECT_EQ(apply({argb(33, 200, 100, 50)}, [](DWORD i) { ModifyImageSaturation(i, 50.0f); })[0],
            argb(33, 146, 96, 71));
  const std::vector<std::uint32_t> in{argb(33, 200, 100, 50), argb(0, 0, 255, 7)};
  EXPECT_EQ(apply(in, [](DWORD i) { ModifyImageSaturation(i, 150.0f); }), in);
  EXPECT_EQ(apply(in, [](DWORD i) { ModifyImageSaturation(i, 0.0f); }),
            apply(in, [](DWORD i) { DesaturateImage(i, 2); }));
}

TEST_F(Tone, SaturationBelowZeroStopsAtZero) {
  // Percent -100: c x (-1) + 2L. Red 200 with a grey near 92 would go negative.
  const auto out = apply({argb(9, 200, 100, 50)}, [](DWORD i) { ModifyImageSaturation(i, -100.0f); });
  EXPECT_EQ(out[0] >> 24, 9u);
  EXPECT_EQ((out[0] >> 16) & 0xFF, 0u);
  EXPECT_EQ(out[0] & 0xFF, 135u);  // -50 + 2 x 92.5 = 135
}

TEST_F(Tone, SaturationWithNaNActsAsZero) {
  const std::vector<std::uint32_t> in{argb(33, 200, 100, 50)};
  EXPECT_EQ(apply(in, [](DWORD i) { ModifyImageSaturation(i, std::nanf("")); }),
            apply(in, [](DWORD i) { DesaturateImage(i, 2); }));
}

TEST_F(Tone, SaturationAtOneHundredNeverOpensTheImage) {
  ModifyImageSaturation(42, 100.0f);
  EXPECT_EQ(host->runtimeError(), 0);
}

TEST_F(Tone, NegativeTwiceRestoresAndKeepsAlpha) {
  const std::vector<std::uint32_t> in{argb(0, 0, 0, 0), argb(128, 1, 127, 255), argb(255, 255, 255, 255)};
  const auto once = apply(in, [](DWORD i) { NegativeImage(i); });
  EXPECT_EQ(once, (std::vector<std::uint32_t>{argb(0, 255, 255, 255), argb(128, 254, 128, 0),
                                              argb(255, 0, 0, 0)}));
  NegativeImage(1);
  EXPECT_EQ(pixels(1), in);
}

TEST_F(Tone, EveryCommandOnANumberInNoUseSets502) {
  for (auto command : {+[] { SetImageBrightness(8, 1, 1, 1); }, +[] { SetImageBrightnessA(8, 1, 1, 1, 1); },
                       +[] { DesaturateImage(8, 1); }, +[] { ModifyImageSaturation(8, 50); },
                       +[] { ModifyImageSaturation(8, 0); }, +[] { NegativeImage(8); }}) {
    command();
    EXPECT_EQ(host->runtimeError(), 502);
    host->clearRuntimeError();
  }
}

TEST_F(Tone, PaddingPastEachRowIsNeverTouched) {
  makePlain(1, 3, 5, {argb(1, 2, 3, 4)});
  SetImageBrightnessA(1, 2, 2, 2, 2);
  DesaturateImage(1, 2);
  ModifyImageSaturation(1, 30);
  NegativeImage(1);
  // The fixture's teardown checks the row padding of every lock.
}

class ToneDeathTest : public Tone {};

TEST_F(ToneDeathTest, RenderTargetsAreRefusedWithEachCommandsWords) {
  makeRenderTarget(1, 4, 4);
  const struct {
    void (*command)();
    const char* name;
  } cases[] = {
      {[] { SetImageBrightness(1, 1, 1, 1); }, "TS Set Image Brightness"},
      {[] { SetImageBrightnessA(1, 1, 1, 1, 1); }, "TS Set Image Brightness"},
      {[] { DesaturateImage(1, 0); }, "TS Desaturate Image"},
      {[] { ModifyImageSaturation(1, 0); }, "TS Desaturate Image"},
      {[] { ModifyImageSaturation(1, 50); }, "TS Modify Image Saturation"},
      {[] { ModifyImageSaturation(1, 150); }, "TS Modify Image Saturation"},
      {[] { NegativeImage(1); }, "TS Negative Image"},
  };
  for (const auto& c : cases) {
    const std::string name = c.name;
    EXPECT_EXIT(c.command(), ExitedWithCode(1),
                fatalOutput(name + " does not work on render targets.", name + " - Error"))
        << name;
  }
}

TEST_F(ToneDeathTest, UsageWithoutTheRenderTargetBitIsRefusedToo) {
  ASSERT_NE(host->makeImageFormat(1, 2, 2, D3DFMT_A8R8G8B8, D3DUSAGE_DYNAMIC), nullptr);
  EXPECT_EXIT(NegativeImage(1), ExitedWithCode(1),
              fatalOutput("TS Negative Image does not work on render targets.", "TS Negative Image - Error"));
}

TEST_F(Tone, SaturationAtOneHundredLeavesRenderTargetsAlone) {
  makeRenderTarget(1, 4, 4);
  ModifyImageSaturation(1, 100.0f);
}

}  // namespace
