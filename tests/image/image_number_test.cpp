// Image numbers are the host's to judge: 0 and negative numbers reach the
// host's image module unchanged, and a host that has images under them gets
// them worked on.
#include "host_fixture.h"

#include "filters/blur/blur_commands.h"
#include "filters/threshold.h"
#include "filters/tone.h"
#include "image/image_lock.h"

#include <climits>
#include <functional>

namespace {

class ImageNumbers : public HostFixture {};

TEST_F(ImageNumbers, ZeroAndNegativeNumbersArePassedOnToTheHost) {
  const struct {
    const char* command;
    std::function<void(int)> call;
  } commands[] = {
      {"TS Negative Image", [](int n) { NegativeImage(static_cast<DWORD>(n)); }},
      {"TS Threshold Image", [](int n) { ThresholdImage(n, 0x30, 0x00FF0000u); }},
      {"TS Set Image Brightness", [](int n) { SetImageBrightness(static_cast<DWORD>(n), 2.0f, 1.0f, 1.0f); }},
      {"TS Desaturate Image", [](int n) { DesaturateImage(static_cast<DWORD>(n), 3); }},
      {"TS Modify Image Saturation", [](int n) { ModifyImageSaturation(static_cast<DWORD>(n), 0.0f); }},
      {"TS Blur Image", [](int n) { BlurImage(static_cast<DWORD>(n), 1, 1); }},
      {"TS Blur Image Horizontal", [](int n) { BlurImage_Horizontal(static_cast<DWORD>(n), 1, 2); }},
  };
  // A dark pixel beside a light one: every command above changes it.
  const std::vector<std::uint32_t> original = {0xFF102030u, 0xFFF0E0D0u};
  for (int number : {0, -1, -7, INT_MIN}) {
    for (const auto& c : commands) {
      makePlain(number, 2, 1, original);
      c.call(number);
      EXPECT_NE(pixels(number), original) << c.command << " on image " << number;
      EXPECT_EQ(host->runtimeError(), 0) << c.command << " on image " << number;
    }
    makeRenderTarget(number, 2, 2);
    EXPECT_EQ(IsTargetImage(static_cast<DWORD>(number)), 1u) << number;
    host->deleteImage(number);
  }
}

}  // namespace
