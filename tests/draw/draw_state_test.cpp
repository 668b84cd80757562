// The draw state commands, and the render and sampler states that blend modes
// and sampler settings put on the device, read through the call log.
#include "host_fixture.h"

#include "draw/blend_modes.h"
#include "draw/draw_state.h"
#include "draw/sampler_states.h"
#include "host/host_link.h"

#include <climits>
#include <map>
#include <string>
#include <vector>

namespace {

using tessaly::drawState;
using Log = std::vector<std::string>;

class DrawStateTest : public HostFixture {
 protected:
  Log blendLog(DWORD mode) {
    swd3d::setCallLog(true);
    tessaly::applyBlendMode(host->device(), mode);
    Log log = swd3d::takeCallLog();
    swd3d::setCallLog(false);
    return log;
  }
};

TEST_F(DrawStateTest, SettersStoreEveryValueUnchangedAndResetLeavesThem) {
  for (DWORD value : {0u, 1u, 21u, 100u, 0xFFFFFFFFu}) {
    SetBlendMode(value);
    SetFilters(value, value ^ 1, value ^ 2);
    SetAddressUV(value ^ 3, value ^ 4);
    ResetTessaly();
    EXPECT_EQ(drawState.blendMode, value);
    EXPECT_EQ(drawState.minFilter, value);
    EXPECT_EQ(drawState.magFilter, value ^ 1);
    EXPECT_EQ(drawState.mipFilter, value ^ 2);
    EXPECT_EQ(drawState.addressU, value ^ 3);
    EXPECT_EQ(drawState.addressV, value ^ 4);
  }
  // Constructor puts back the sampling values only.
  SetBlendMode(17);
  Constructor();
  EXPECT_EQ(drawState.blendMode, 17u);
  EXPECT_EQ(drawState.minFilter, 1u);
  EXPECT_EQ(drawState.magFilter, 1u);
  EXPECT_EQ(drawState.mipFilter, 0u);
  EXPECT_EQ(drawState.addressU, 1u);
  EXPECT_EQ(drawState.addressV, 1u);
  SetBlendMode(1);  // module-wide: the next test starts where a fresh module would
}

// The render states of each blend mode, written out state by state.
TEST_F(DrawStateTest, EachBlendModeSetsItsGroupsStatesInOrder) {
  const std::string blendOpAdd = "SetRenderState(171, 1)";
  const Log alphaBlend = {blendOpAdd,
                          "SetRenderState(27, 1)",
                          "SetRenderState(19, 5)",
                          "SetRenderState(20, 6)",
                          "SetRenderState(206, 1)",
                          "SetRenderState(207, 2)",
                          "SetRenderState(208, 2)"};
  const Log multiply = {blendOpAdd,
                        "SetRenderState(27, 1)",
                        "SetRenderState(19, 9)",
                        "SetRenderState(20, 1)",
                        "SetRenderState(206, 1)",
                        "SetRenderState(207, 1)",
                        "SetRenderState(208, 2)"};
  const Log screen = {blendOpAdd,
                      "SetRenderState(27, 1)",
                      "SetRenderState(19, 10)",
                      "SetRenderState(20, 2)",
                      "SetRenderState(206, 1)",
                      "SetRenderState(207, 1)",
                      "SetRenderState(208, 2)"};
  const Log add = {blendOpAdd,
                   "SetRenderState(27, 1)",
                   "SetRenderState(19, 2)",
                   "SetRenderState(20, 2)",
                   "SetRenderState(206, 1)",
                   "SetRenderState(207, 1)",
                   "SetRenderState(208, 2)"};
  const auto withOperation = [&](const char* operation) {
    return Log{blendOpAdd,
               "SetRenderState(27, 1)",
               "SetRenderState(19, 2)",
               "SetRenderState(20, 2)",
               std::string("SetRenderState(171, ") + operation + ")",
               "SetRenderState(206, 1)",
               "SetRenderState(207, 1)",
               "SetRenderState(208, 2)"};
  };
  const Log replace = {blendOpAdd, "SetRenderState(27, 1)", "SetRenderState(19, 2)",
                       "SetRenderState(20, 1)", "SetRenderState(206, 0)"};
  const Log nothingMore = {blendOpAdd};

  const std::map<DWORD, Log> expected = {
      {0, nothingMore},   {1, alphaBlend},  {2, alphaBlend},     {3, nothingMore},
      {4, multiply},      {5, nothingMore}, {6, screen},         {7, nothingMore},
      {8, nothingMore},   {9, nothingMore}, {10, nothingMore},   {11, nothingMore},
      {12, nothingMore},  {13, nothingMore}, {14, nothingMore},  {15, add},
      {16, withOperation("3")}, {17, withOperation("4")}, {18, withOperation("5")},
      {19, replace},      {20, replace},    {21, nothingMore},   {100, nothingMore},
      {0x80000000u, nothingMore}, {0xFFFFFFFFu, nothingMore},
  };
  for (const auto& [mode, log] : expected) EXPECT_EQ(blendLog(mode), log) << "mode " << mode;
}

TEST_F(DrawStateTest, BlendStatesStayOnTheDevice) {
  IDirect3DDevice9* device = host->device();
  tessaly::applyBlendMode(device, 17);
  DWORD value = 0;
  device->GetRenderState(D3DRS_BLENDOP, &value);
  EXPECT_EQ(value, static_cast<DWORD>(D3DBLENDOP_MIN));
  // A mode that sets nothing more keeps the factors of the one before.
  tessaly::applyBlendMode(device, 3);
  device->GetRenderState(D3DRS_BLENDOP, &value);
  EXPECT_EQ(value, static_cast<DWORD>(D3DBLENDOP_ADD));
  device->GetRenderState(D3DRS_SRCBLEND, &value);
  EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_ONE));
  device->GetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, &value);
  EXPECT_EQ(value, 1u);
}

TEST_F(DrawStateTest, SamplerStatesGoToSamplerZeroInTheirOrder) {
  swd3d::setCallLog(true);
  tessaly::applySamplerStates(host->device(), 2, 3, 4, 5, 0xFFFFFFFF);
  const Log expected = {"SetSamplerState(0, 6, 2)", "SetSamplerState(0, 5, 3)",
                        "SetSamplerState(0, 7, 4)", "SetSamplerState(0, 1, 5)",
                        "SetSamplerState(0, 2, 4294967295)"};
  EXPECT_EQ(swd3d::takeCallLog(), expected);
  swd3d::setCallLog(false);
}

}  // namespace
