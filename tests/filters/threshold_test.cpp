// Threshold under a channel mask: the comparison of the masked word, the
// character argument's low byte, and what happens to alpha.
#include "host_fixture.h"

#include "filters/threshold.h"

namespace {

using ::testing::ExitedWithCode;

class Threshold : public HostFixture {
 protected:
  std::vector<std::uint32_t> run(const std::vector<std::uint32_t>& in, int value, DWORD channel) {
    makePlain(1, static_cast<UINT>(in.size()), 1, in);
    // The host passes a 32-bit integer; the export's character parameter takes its low byte.
    ThresholdImage(1, static_cast<char>(value & 0xFF), channel);
    return pixels(1);
  }
};

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

TEST_F(Threshold, OneChannelComparesItsByte) {
  for (DWORD shift : {0u, 8u, 16u, 24u}) {
    const DWORD mask = 0xFFu << shift;
    const std::uint32_t below = (127u << shift) | (shift == 24 ? 0 : 0x80000000u);
    const std::uint32_t at = 128u << shift;
    const auto out = run({below, at}, 128, mask);
    EXPECT_EQ(out[0], below & 0xFF000000u) << "mask " << std::hex << mask;
    EXPECT_EQ(out[1], kWhite) << "mask " << std::hex << mask;
  }
}

TEST_F(Threshold, ChannelZeroOrValueZeroMakesEverythingWhite) {
  const std::vector<std::uint32_t> in{0x00000000, 0x7F123456, 0xFFFFFFFF};
  EXPECT_EQ(run(in, 200, 0), std::vector<std::uint32_t>(3, kWhite));
  EXPECT_EQ(run(in, 0, 0xFFFFFFFF), std::vector<std::uint32_t>(3, kWhite));
}

TEST_F(Threshold, Value255OnRedKeepsOnlyFullRedWhite) {
  const auto out = run({0x40FF0000, 0x40FE0000, 0x00FEFFFF}, 255, 0x00FF0000);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{kWhite, 0x40000000, 0x00000000}));
}

TEST_F(Threshold, SeveralChannelsCompareAsOneNumber) {
  // Mask 0x00FFFFFF, t = 0x80: black when red < t, or red = t and green < t, ...
  const auto out = run({0x107FFFFF, 0x20807FFF, 0x3080807F, 0x40808080}, 0x80, 0x00FFFFFF);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{0x10000000, 0x20000000, 0x30000000, kWhite}));
}

TEST_F(Threshold, ValueArrivesAsItsLowByte) {
  const std::vector<std::uint32_t> in{0xFF2B0000, 0xFF2C0000, 0xFFFE0000};
  EXPECT_EQ(run(in, 300, 0x00FF0000), run(in, 44, 0x00FF0000));
  EXPECT_EQ(run(in, 256, 0x00FF0000), std::vector<std::uint32_t>(3, kWhite));
  EXPECT_EQ(run(in, -1, 0x00FF0000), (std::vector<std::uint32_t>{0xFF000000, 0xFF000000, 0xFF000000}));
}

TEST_F(Threshold, TransparentPixelsThatPassBecomeOpaque) {
  EXPECT_EQ(run({0x10FFFFFF, 0x10000000}, 128, 0x000000FF),
            (std::vector<std::uint32_t>{kWhite, 0x10000000}));
}

TEST_F(Threshold, ANumberInNoUseSets502AndChangesNothing) {
  makePlain(1, 2, 2, {0x12345678});
  ThresholdImage(2, 10, 0xFF);
  EXPECT_EQ(pixels(1), std::vector<std::uint32_t>(4, 0x12345678));
  expectedRuntimeError = 502;
}

TEST_F(Threshold, RenderTargetsAreRefused) {
  makeRenderTarget(1, 2, 2);
  EXPECT_EXIT(ThresholdImage(1, 1, 1), ExitedWithCode(1),
              fatalOutput("TS Threshold Image does not work on render targets.", "TS Threshold Image - Error"));
}

}  // namespace
