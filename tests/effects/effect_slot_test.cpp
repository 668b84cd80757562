// "TS Delete Effect" and "TS Effect Exist", and the slots across "TS Reset
// Tessaly" and the end of the module: every loaded effect is released once.
#include "effect_fixture.h"

#include <climits>

namespace {

using EffectSlots = EffectCommands;

TEST_F(EffectSlots, NumbersOutOfRangeSet7721) {
  for (int number : {0, 65, -1, INT_MIN, INT_MAX}) {
    host->clearRuntimeError();
    EXPECT_EQ(EffectExist(number), 0u) << number;
    EXPECT_EQ(host->runtimeError(), 7721) << number;
    host->clearRuntimeError();
    DeleteEffectTS(number);
    EXPECT_EQ(host->runtimeError(), 7721) << number;
  }
  expectedRuntimeError = 7721;
}

TEST_F(EffectSlots, EmptySlotsInRangeAreNoError) {
  for (int number = 1; number <= 64; ++number) EXPECT_EQ(EffectExist(number), 0u) << number;
  DeleteEffectTS(12);
  EXPECT_EQ(EffectExist(12), 0u);
}

TEST_F(EffectSlots, DeleteReleasesTheEffectAndFreesTheNumber) {
  const std::string path = effectFile();
  ASSERT_EQ(load(path, 12), 1u);
  DeleteEffectTS(12);
  EXPECT_EQ(EffectExist(12), 0u);
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 0);
  EXPECT_EQ(load(path, 12), 1u);
}

TEST_F(EffectSlots, ResetEmptiesEverySlotAndEveryNumberLoadsAgain) {
  const swd3d::LiveObjects before = swd3d::liveObjects();
  const std::string path = effectFile();
  for (int number : {1, 32, 64}) ASSERT_EQ(load(path, number), 1u);
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 3);
  ResetTessaly();
  for (int number = 1; number <= 64; ++number) EXPECT_EQ(EffectExist(number), 0u) << number;
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 0);
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, before.pixelShaders);
  for (int number = 1; number <= 64; ++number) EXPECT_EQ(load(path, number), 1u) << number;
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 64);
}

TEST_F(EffectSlots, TheEndReleasesEachLoadedEffectOnce) {
  const swd3d::LiveObjects before = swd3d::liveObjects();
  const std::string path = effectFile();
  for (int number : {2, 3, 50}) ASSERT_EQ(load(path, number), 1u);
  IDirect3DTexture9* texture = host->makeImage(8, 4, 4);
  ASSERT_NE(texture, nullptr);
  SetEffectTexture(2, const_cast<char*>("overlay"), 8);
  Destructor();
  EXPECT_EQ(swd3dx::liveEffectObjects().effects, 0);
  EXPECT_EQ(swd3d::liveObjects().pixelShaders, before.pixelShaders);
  host->deleteImage(8);
  EXPECT_EQ(swd3d::liveObjects().textures, before.textures)
      << "the effect gave back the texture it held";
  Constructor();
  ReceiveCoreDataPtr(host->coreData());
  for (int number : {2, 3, 50}) EXPECT_EQ(EffectExist(number), 0u);
}

}  // namespace
