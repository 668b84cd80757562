// The exact Direct3D calls of one command of each kind, from the device's
// call log: an in-memory filter takes the level-0 surface, its description,
// one whole lock with flags 0, unlocks and releases; a query takes the
// surface and its description and leaves the rest to the lock's clean-up,
// which ends any lock (none is held, so the unlock fails harmlessly) and
// releases the surface.
#include "host_fixture.h"

#include "filters/blur/blur_commands.h"
#include "filters/threshold.h"
#include "filters/tone.h"
#include "image/image_lock.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class CommandCallSequence : public HostFixture {};

TEST_F(CommandCallSequence, EachKindOfCommandMakesExactlyItsCalls) {
  const std::vector<std::string> filter = {
      "GetSurfaceLevel(tex1, 0)", "GetDesc(tex1.level0)", "LockRect(tex1.level0, null, 0)",
      "UnlockRect(tex1.level0)",  "Release(tex1.level0)",
  };
  const std::vector<std::string> query = {"GetSurfaceLevel(tex1, 0)", "GetDesc(tex1.level0)", "UnlockRect(tex1.level0)",
                                          "Release(tex1.level0)"};
  const struct {
    const char* command;
    std::function<void()> call;
    const std::vector<std::string>& calls;
  } cases[] = {
      {"TS Blur Image", [] { BlurImage(1, 2, 3); }, filter},
      {"TS Blur Image with an unknown mode", [] { BlurImage(1, 2, 9); }, filter},
      {"TS Negative Image", [] { NegativeImage(1); }, filter},
      {"TS Set Image Brightness", [] { SetImageBrightnessA(1, 1.0f, 2.0f, 0.5f, 1.0f); }, filter},
      {"TS Desaturate Image", [] { DesaturateImage(1, 2); }, filter},
      {"TS Modify Image Saturation", [] { ModifyImageSaturation(1, 40.0f); }, filter},
      {"TS Threshold Image", [] { ThresholdImage(1, 'x', 0x00FF0000u); }, filter},
      {"TS Is Render Target", [] { EXPECT_EQ(IsTargetImage(1), 0u); }, query},
  };
  for (const auto& c : cases) {
    // A fresh host and device, so that the image is tex1 again.
    Destructor();
    host.reset();
    host = std::make_unique<standin::StandInHost>();
    Constructor();
    ReceiveCoreDataPtr(host->coreData());
    makePlain(1, 5, 3, {0x80402010u});
    swd3d::setCallLog(true);
    c.call();
    EXPECT_EQ(swd3d::takeCallLog(), c.calls) << c.command;
    swd3d::setCallLog(false);
  }
}

// A radius below 1 and a saturation of 100 percent do nothing at all, not
// even open the image.
TEST_F(CommandCallSequence, CommandsThatDoNothingMakeNoCall) {
  makePlain(1, 5, 3, {0x80402010u});
  swd3d::setCallLog(true);
  BlurImage(1, 0, 1);
  BlurImage_Horizontal(1, -4, 2);
  ModifyImageSaturation(1, 100.0f);
  EXPECT_EQ(swd3d::takeCallLog(), std::vector<std::string>{});
  swd3d::setCallLog(false);
}

}  // namespace
