// "TS Load Effect" in both forms: what a slot holds after a load, and every
// way a load can fail.
#include "effect_fixture.h"

#include <climits>

namespace {

using ::testing::ExitedWithCode;
using LoadEffectCommand = EffectCommands;

TEST_F(LoadEffectCommand, FillsTheSlotWithTheFirstValidTechnique) {
  const std::string path = effectFile();
  EXPECT_EQ(load(path, 5), 1u);
  LoadEffect(const_cast<char*>(path.c_str()), 64);
  for (int number : {5, 64}) {
    EXPECT_EQ(EffectExist(number), 1u);
    const tessaly::EffectSlot* s = slot(number);
    ASSERT_NE(s->effect, nullptr);
    EXPECT_EQ(s->technique, s->effect->GetTechniqueByName("Grey"))
        << "Sharp comes first but does not validate";
  }
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 2);
}

TEST_F(LoadEffectCommand, AnEffectWithoutAValidTechniqueLoadsWithNone) {
  EXPECT_EQ(load(effectFile("technique t { pass { StencilEnable = TRUE; } }"), 1), 1u);
  EXPECT_EQ(slot(1)->technique, nullptr);
}

TEST_F(LoadEffectCommand, NumbersOutOfRangeSet7721AndLoadNothing) {
  const std::string path = effectFile();
  for (int number : {0, 65, -1, INT_MIN, INT_MAX}) {
    host->clearRuntimeError();
    EXPECT_EQ(load(path, number), 0u) << number;
    EXPECT_EQ(host->runtimeError(), 7721) << number;
    host->clearRuntimeError();
    LoadEffect(const_cast<char*>(path.c_str()), number);
    EXPECT_EQ(host->runtimeError(), 7721) << "and the statement form returns: " << number;
  }
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 0);
  expectedRuntimeError = 7721;
}

TEST_F(LoadEffectCommand, AMissingFileSets105AndFreesTheSlot) {
  EXPECT_EQ(load((folder / "absent.fx").string(), 3), 0u);
  EXPECT_EQ(host->runtimeError(), 105);
  EXPECT_EQ(EffectExist(3), 0u);
  host->clearRuntimeError();
  EXPECT_EQ(load(effectFile(), 3), 1u) << "the number can be loaded again";
}

TEST_F(LoadEffectCommand, ANullFileNameIsAMissingFile) {
  EXPECT_EQ(LoadEffectTry(nullptr, 2), 0u);
  EXPECT_EQ(EffectExist(2), 0u);
  expectedRuntimeError = 105;
}

TEST_F(LoadEffectCommand, ACompileErrorShowsTheCompilersMessagesAndFreesTheSlot) {
  const std::string path = effectFile("float a = ;\nfloat b = c;");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(load(path, 4), 0u);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "MessageBox [Compile error - Effect]: " + path +
                "(1,11): error: expected an expression, found ';'\n\n");
  EXPECT_EQ(EffectExist(4), 0u);
  EXPECT_EQ(swd3dx::liveEffectObjects().buffers, 0) << "the messages were released";
}

TEST_F(LoadEffectCommand, AFailureWithoutMessagesSaysSo) {
  // A folder passes the file-status test, but D3DX cannot read it and gives
  // no messages.
  const std::string path = folder.string();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(load(path, 4), 0u);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "MessageBox [Compile error - Effect]: The effect file \"" + path +
                "\" could not be compiled, and the compiler gave no reason.\n");
  EXPECT_EQ(EffectExist(4), 0u);
}

class LoadEffectDeathTest : public EffectCommands {};

TEST_F(LoadEffectDeathTest, AMissingFileEndsTheProcessQuietly) {
  const std::string path = (folder / "absent.fx").string();
  EXPECT_EXIT(LoadEffect(const_cast<char*>(path.c_str()), 1), ExitedWithCode(1),
              wholeOutput("host: CloseDisplay\nhost: Quit"));
}

TEST_F(LoadEffectDeathTest, ACompileErrorEndsTheProcessAfterTheBox) {
  const std::string path = effectFile("float4 f() : COLOR0 { return 0 }");
  EXPECT_EXIT(LoadEffect(const_cast<char*>(path.c_str()), 1), ExitedWithCode(1),
              wholeOutput(literally("MessageBox [Compile error - Effect]: " + path +
                                    "(1,32): error: expected ';', found '}'\n\n"
                                    "host: CloseDisplay\nhost: Quit")));
}

TEST_F(LoadEffectDeathTest, ASlotInUseCannotBeLoadedAgain) {
  const std::string path = effectFile();
  ASSERT_EQ(load(path, 7), 1u);
  EXPECT_EXIT(LoadEffect(const_cast<char*>(path.c_str()), 7), ExitedWithCode(1),
              wholeOutput("host: CloseDisplay\nhost: Quit"));
  EXPECT_EXIT(load(path, 7), ExitedWithCode(1), wholeOutput("host: CloseDisplay\nhost: Quit"));
  EXPECT_EQ(EffectExist(7), 1u) << "the loaded effect stays";
}

}  // namespace
