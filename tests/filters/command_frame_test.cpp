// The frame of the gradient, convolution and colour-key commands: a number in
// no use is runtime error 502, a render target (or any image whose usage is
// not 0) ends the process with each command's own words, and a failed lock
// with the lock's message.
#include "host_fixture.h"

#include "filters/color_key/color_key.h"
#include "filters/convolution/emboss.h"
#include "filters/convolution/sharpen.h"
#include "filters/gradient/gradient_commands.h"

#include <gtest/gtest.h>

#include <string>

namespace filter_test {
namespace {

using ::testing::ExitedWithCode;

struct Form {
  const char* name;
  void (*call)(int image);
  const char* refusal;
  const char* caption;
};

const Form kForms[] = {
    {"GradientLinear", [](int i) { GradientLinear(i, 0, 0, 4, 4, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3); },
     "TS Gradients do not work on render targets.", "TS Gradient Linear - Error"},
    {"GradientRadial", [](int i) { GradientRadial(i, 1, 1, 0, 4, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3); },
     "TS Gradients do not work on render targets.", "TS Gradient Linear - Error"},
    {"SharpenImage", [](int i) { SharpenImage(static_cast<DWORD>(i)); },
     "TS Sharpen Image does not work on render targets.", "TS Sharpen Image - Error"},
    {"EmbossImage", [](int i) { EmbossImage(static_cast<DWORD>(i)); },
     "TS Emboss Image does not work on render targets.", "TS Emboss Image - Error"},
    {"ColorToAlphaHard", [](int i) { ColorToAlphaHard(static_cast<DWORD>(i), 0xFF00FF); },
     "TS Set Color To Alpha does not work with render targets.", "TS Set Color To Alpha - Error"},
    {"ColorToAlphaSoft", [](int i) { ColorToAlphaSoft(static_cast<DWORD>(i), 0xFF00FF, 1); },
     "TS Set Color To Alpha does not work with render targets.", "TS Set Color To Alpha - Error"},
    {"ColorToAlphaSoft mode 0", [](int i) { ColorToAlphaSoft(static_cast<DWORD>(i), 0xFF00FF, 0); },
     "TS Set Color To Alpha does not work with render targets.", "TS Set Color To Alpha - Error"},
    {"ReplaceImageColor", [](int i) { ReplaceImageColor(static_cast<DWORD>(i), 1, 2); },
     "TS Replace Image Color does not work on render targets.", "TS Replace Image Color - Error"},
};

class CommandFrame : public HostFixture {};

TEST_F(CommandFrame, ANumberInNoUseSets502AndTouchesNothing) {
  makePlain(1, 4, 4, {0x12345678});
  for (const Form& form : kForms) {
    for (int number : {2, 0, -1}) {
      form.call(number);
      EXPECT_EQ(host->runtimeError(), 502) << form.name << " " << number;
      host->clearRuntimeError();
    }
  }
  EXPECT_EQ(pixels(1), std::vector<std::uint32_t>(16, 0x12345678));
}

class CommandFrameDeathTest : public CommandFrame {};

TEST_F(CommandFrameDeathTest, RenderTargetsAreRefusedWithEachCommandsWords) {
  makeRenderTarget(1, 4, 4);
  ASSERT_NE(host->makeImageFormat(2, 4, 4, D3DFMT_A8R8G8B8, D3DUSAGE_DYNAMIC), nullptr);
  for (const Form& form : kForms) {
    for (int number : {1, 2}) {
      EXPECT_EXIT(form.call(number), ExitedWithCode(1), fatalOutput(form.refusal, form.caption))
          << form.name << " on image " << number;
    }
  }
}

TEST_F(CommandFrameDeathTest, AFailedLockEndsWithTheLockMessage) {
  makePlain(1, 4, 4, {0x12345678});
  for (const Form& form : kForms) {
    EXPECT_EXIT(
        {
          swd3d::failNext(swd3d::Call::LockRect);
          form.call(1);
        },
        ExitedWithCode(1), fatalOutput("Could not lock image.", "Error"))
        << form.name;
  }
}

}  // namespace
}  // namespace filter_test
