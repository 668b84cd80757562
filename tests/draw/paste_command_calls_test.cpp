// The paste commands' exact calls, one command of each kind, and every way
// they fail: effect numbers, empty slots, the same image twice, missing
// images, targets that are not render targets, refused techniques and Begins.
#include "paste_command_fixture.h"
#include "quad_calls.h"

#include <climits>
#include <functional>

namespace {

using Log = std::vector<std::string>;
using ::testing::ExitedWithCode;

Log operator+(Log a, const Log& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Log opened(const std::string& texture) {
  return {"GetSurfaceLevel(" + texture + ", 0)", "GetDesc(" + texture + ".level0)"};
}

Log released(const std::string& texture) { return {"Release(" + texture + ".level0)"}; }

// The blend states of mode 1, then the default filters and address modes.
const Log kDrawState = {
    "SetRenderState(171, 1)",     "SetRenderState(27, 1)",      "SetRenderState(19, 5)",
    "SetRenderState(20, 6)",      "SetRenderState(206, 1)",     "SetRenderState(207, 2)",
    "SetRenderState(208, 2)",     "SetSamplerState(0, 6, 1)",   "SetSamplerState(0, 5, 1)",
    "SetSamplerState(0, 7, 0)",   "SetSamplerState(0, 1, 1)",   "SetSamplerState(0, 2, 1)",
};

Log quad(const std::string& target, const std::string& texture) { return quadCalls(target, texture); }

Log inPass(unsigned pass, const Log& calls) {
  return Log{"effect.BeginPass(" + std::to_string(pass) + ")"} + calls + Log{"effect.EndPass()"};
}

const Log kTechnique = {"effect.SetTechnique(Technique)", "effect.Begin(0)"};
const Log kEnd = {"effect.End()"};

class PasteCommandCalls : public PasteCommandTest {
 protected:
  void SetUp() override {
    PasteCommandTest::SetUp();
    makePlain(1, 4, 4, {0xFF204060});  // tex1
    makeRenderTarget(2, 8, 8);         // tex2
    makePlain(3, 8, 8, {0});           // tex3
  }

  RecordingEffect* effect(RecordingEffect::Script script = {}) {
    return RecordingEffect::install(5, script, log);
  }
};

TEST_F(PasteCommandCalls, OntoAPlainImageLocksOnlyTheOverlapInMemory) {
  startLog();
  PasteImageOnImage(1, 3, 6, -1);
  const Log inMemory = {"LockRect(tex3.level0, {6,0,8,3}, 0)", "LockRect(tex1.level0, {0,1,2,4}, 0)",
                        "UnlockRect(tex1.level0)", "UnlockRect(tex3.level0)"};
  EXPECT_EQ(takeLog(), opened("tex1") + opened("tex3") + inMemory + released("tex1") + released("tex3"));
}

TEST_F(PasteCommandCalls, OntoARenderTargetDrawsOneQuadAfterTheDrawState) {
  startLog();
  PasteImageOnImage(1, 2, 0, 0);
  EXPECT_EQ(takeLog(), opened("tex1") + opened("tex2") + kDrawState + quad("tex2.level0", "tex1") +
                           released("tex1") + released("tex2"));
}

TEST_F(PasteCommandCalls, OntoTheScreenDrawsIntoTheHostsScreenSurface) {
  startLog();
  PasteImageS(1, 0, 0, 9, 9);
  EXPECT_EQ(takeLog(), opened("tex1") + kDrawState + quad("backbuffer", "tex1") + released("tex1"));
}

TEST_F(PasteCommandCalls, ThroughAnEffectDrawsOnceInsideEachPass) {
  effect({.passes = 2});
  startLog();
  PasteImageOnImageRotatedFX(1, 2, 3, 3, 30.0f, 5);
  EXPECT_EQ(takeLog(), opened("tex1") + opened("tex2") + kDrawState + kTechnique +
                           inPass(0, quad("tex2.level0", "tex1")) + inPass(1, quad("tex2.level0", "tex1")) +
                           kEnd + released("tex1") + released("tex2"));
}

TEST_F(PasteCommandCalls, OnlyTheStretchedScreenPasteUnbindsThePixelShader) {
  effect();
  startLog();
  PasteImageSFX(1, 0, 0, 4, 4, 5);
  const Log drawn = kTechnique + inPass(0, quad("backbuffer", "tex1")) + kEnd;
  EXPECT_EQ(takeLog(), opened("tex1") + kDrawState + drawn + Log{"SetPixelShader(null)"} + released("tex1"));
  startLog();
  PasteImageFX(1, 0, 0, 5);
  EXPECT_EQ(takeLog(), opened("tex1") + kDrawState + drawn + released("tex1"));
}

// Each effect form with a technique the effect refuses, and with a Begin that
// fails: the first draws nothing and never begins, the second ends all the same.
TEST_F(PasteCommandCalls, ARefusedTechniqueDrawsNothingAndAFailedBeginStillEnds) {
  const struct {
    const char* command;
    std::function<void()> call;
    Log opens;
    Log closes;
  } cases[] = {
      {"PasteImageOnImageFX", [] { PasteImageOnImageFX(1, 2, 0, 0, 5); }, opened("tex1") + opened("tex2"),
       released("tex1") + released("tex2")},
      {"PasteImageOnImageSFX", [] { PasteImageOnImageSFX(1, 2, 0, 0, 2, 2, 5); }, opened("tex1") + opened("tex2"),
       released("tex1") + released("tex2")},
      {"PasteImageOnImageRotatedFX", [] { PasteImageOnImageRotatedFX(1, 2, 0, 0, 9.0f, 5); },
       opened("tex1") + opened("tex2"), released("tex1") + released("tex2")},
      {"PasteImageRotatedFX", [] { PasteImageRotatedFX(1, 0, 0, 9.0f, 5); }, opened("tex1"), released("tex1")},
      {"PasteImageFX", [] { PasteImageFX(1, 0, 0, 5); }, opened("tex1"), released("tex1")},
      {"PasteImageSFX", [] { PasteImageSFX(1, 0, 0, 2, 2, 5); }, opened("tex1"),
       Log{"SetPixelShader(null)"} + released("tex1")},
  };
  for (const auto& c : cases) {
    effect({.setTechnique = D3DERR_INVALIDCALL});
    startLog();
    c.call();
    EXPECT_EQ(takeLog(), c.opens + kDrawState + Log{"effect.SetTechnique(Technique)"} + c.closes) << c.command;

    effect({.passes = 3, .begin = D3DERR_INVALIDCALL});
    startLog();
    c.call();
    EXPECT_EQ(takeLog(), c.opens + kDrawState + kTechnique + kEnd + c.closes) << c.command;
  }
}

// The six effect forms, each called with an effect number and the images.
struct EffectForm {
  const char* name;
  std::function<void(int image, int target, int effect)> call;
};

const EffectForm kEffectForms[] = {
    {"PasteImageOnImageFX", [](int i, int t, int e) { PasteImageOnImageFX(i, t, 0, 0, e); }},
    {"PasteImageOnImageSFX", [](int i, int t, int e) { PasteImageOnImageSFX(i, t, 0, 0, 2, 2, e); }},
    {"PasteImageOnImageRotatedFX", [](int i, int t, int e) { PasteImageOnImageRotatedFX(i, t, 0, 0, 1.0f, e); }},
    {"PasteImageRotatedFX", [](int i, int, int e) { PasteImageRotatedFX(i, 0, 0, 1.0f, e); }},
    {"PasteImageFX", [](int i, int, int e) { PasteImageFX(i, 0, 0, e); }},
    {"PasteImageSFX", [](int i, int, int e) { PasteImageSFX(i, 0, 0, 2, 2, e); }},
};

TEST_F(PasteCommandCalls, AnEffectNumberOutsideOneTo64Is7721BeforeAnythingElse) {
  for (const EffectForm& form : kEffectForms) {
    for (int number : {0, 65, -1, INT_MIN, INT_MAX}) {
      host->clearRuntimeError();
      startLog();
      form.call(7, 7, number);  // the same missing image twice: never looked at
      EXPECT_EQ(takeLog(), Log{}) << form.name << " " << number;
      EXPECT_EQ(host->runtimeError(), 7721) << form.name << " " << number;
    }
  }
  expectedRuntimeError = 7721;
}

TEST_F(PasteCommandCalls, AnEmptySlotEndsTheProcessBeforeTheImagesAreLookedAt) {
  for (const EffectForm& form : kEffectForms) {
    EXPECT_EXIT(form.call(7, 7, 64), ExitedWithCode(1), wholeOutput("host: CloseDisplay\nhost: Quit")) << form.name;
  }
}

// Pasting an image onto itself ends the process, even when there is no such
// image, and in blend mode 0 too.
TEST_F(PasteCommandCalls, TheSameImageTwiceEndsTheProcessWithTheCommandsCaption) {
  effect();
  SetBlendMode(0);
  const struct {
    const char* caption;
    std::function<void()> call;
  } cases[] = {
      {"Paste Image - Error", [] { PasteImageOnImage(9, 9, 0, 0); }},
      {"Paste Image - Error", [] { PasteImageOnImageFX(9, 9, 0, 0, 5); }},
      {"Paste Image - Error", [] { PasteImageOnImageS(9, 9, 0, 0, 1, 1); }},
      {"Paste Image - Error", [] { PasteImageOnImageSFX(9, 9, 0, 0, 1, 1, 5); }},
      {"Paste Image - Error", [] { PasteImageOnImageRotated(9, 9, 0, 0, 0.0f); }},
      {"Tessaly - Paste Image On Image Rotated", [] { PasteImageOnImageRotatedFX(9, 9, 0, 0, 0.0f, 5); }},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(c.call(), ExitedWithCode(1), wholeOutput(fatalOutput("Cannot copy image to itself.", c.caption)))
        << c.caption;
  }
}

TEST_F(PasteCommandCalls, APlainTargetEndsTheProcessWhereARenderTargetIsRequired) {
  effect();
  const std::string shader =
      "TS Paste Image On Image requires a render target as the destination image to work if you want to "
      "apply a shader.";
  const std::string stretch =
      "TS Paste Image On Image requires a render target as the destination image to work if you want to "
      "stretch the image.";
  const std::string rotated =
      "TS Paste Image On Image Rotated requires a render target as the destination image to work.";
  const struct {
    std::string message;
    std::string caption;
    std::function<void()> call;
  } cases[] = {
      {shader, "TS Paste Image On Image - Error", [] { PasteImageOnImageFX(1, 3, 0, 0, 5); }},
      {stretch, "TS Paste Image On Image - Error", [] { PasteImageOnImageS(1, 3, 0, 0, 1, 1); }},
      {shader, "TS Paste Image On Image - Error", [] { PasteImageOnImageSFX(1, 3, 0, 0, 1, 1, 5); }},
      {rotated, "TS Paste Image On Image Rotated - Error", [] { PasteImageOnImageRotated(1, 3, 0, 0, 0.0f); }},
      {rotated, "TS Paste Image On Image Rotated - Error", [] { PasteImageOnImageRotatedFX(1, 3, 0, 0, 0.0f, 5); }},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(c.call(), ExitedWithCode(1), wholeOutput(fatalOutput(literally(c.message), c.caption))) << c.message;
  }
}

// Every paste of image 1 onto image `target` (the screen forms ignore it).
const std::function<void(int, int)> kEveryPaste[] = {
    [](int i, int t) { PasteImageOnImage(i, t, 0, 0); },
    [](int i, int t) { PasteImageOnImageFX(i, t, 0, 0, 5); },
    [](int i, int t) { PasteImageOnImageS(i, t, 0, 0, 2, 2); },
    [](int i, int t) { PasteImageOnImageSFX(i, t, 0, 0, 2, 2, 5); },
    [](int i, int t) { PasteImageOnImageRotated(i, t, 0, 0, 0.0f); },
    [](int i, int t) { PasteImageOnImageRotatedFX(i, t, 0, 0, 0.0f, 5); },
    [](int i, int) { PasteImageRotated(i, 0, 0, 0.0f); },
    [](int i, int) { PasteImageRotatedFX(i, 0, 0, 0.0f, 5); },
    [](int i, int) { PasteImageFX(i, 0, 0, 5); },
    [](int i, int) { PasteImageS(i, 0, 0, 2, 2); },
    [](int i, int) { PasteImageSFX(i, 0, 0, 2, 2, 5); },
};

// A missing source is error 502 and nothing more; a missing target is 502
// after the source was opened, whose surface is given back.
TEST_F(PasteCommandCalls, MissingImagesAre502AndTheSourceIsGivenBack) {
  effect();
  for (std::size_t i = 0; i < std::size(kEveryPaste); ++i) {
    host->clearRuntimeError();
    startLog();
    kEveryPaste[i](8, 2);
    EXPECT_EQ(takeLog(), Log{}) << "paste " << i;
    EXPECT_EQ(host->runtimeError(), 502) << "paste " << i;
  }
  for (std::size_t i = 0; i < 6; ++i) {  // the forms with a target
    host->clearRuntimeError();
    startLog();
    kEveryPaste[i](1, 8);
    EXPECT_EQ(takeLog(), opened("tex1") + released("tex1")) << "paste " << i;
    EXPECT_EQ(host->runtimeError(), 502) << "paste " << i;
  }
  expectedRuntimeError = 502;
}

// Blend mode 0 stops the positioned and stretched pastes onto images before
// they look at an image; the turned ones and the screen pastes draw.
TEST_F(PasteCommandCalls, BlendModeZeroStopsOnlyThePositionedAndStretchedPastesOntoImages) {
  effect();
  SetBlendMode(0);
  for (std::size_t i = 0; i < 4; ++i) {
    startLog();
    kEveryPaste[i](8, 9);
    EXPECT_EQ(takeLog(), Log{}) << "paste " << i;
  }
  const Log modeZero = {"SetRenderState(171, 1)",   "SetSamplerState(0, 6, 1)", "SetSamplerState(0, 5, 1)",
                        "SetSamplerState(0, 7, 0)", "SetSamplerState(0, 1, 1)", "SetSamplerState(0, 2, 1)"};
  for (std::size_t i = 4; i < std::size(kEveryPaste); ++i) {
    startLog();
    kEveryPaste[i](1, 2);
    const Log calls = takeLog();
    const auto draws = std::count(calls.begin(), calls.end(), "DrawPrimitiveUP(6, 2, 28)");
    EXPECT_EQ(draws, 1) << "paste " << i;
    EXPECT_NE(std::search(calls.begin(), calls.end(), modeZero.begin(), modeZero.end()), calls.end())
        << "paste " << i << ": only the blend operation is set";
  }
}

}  // namespace
