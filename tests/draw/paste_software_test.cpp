// The software paste through the stand-in host: the worked values, clipping on
// every side against the plain reference on padded surfaces, the locks of only
// the overlapping rectangles, and the lock failures.
#include "host_fixture.h"
#include "paste_reference.h"

#include "d3d9/device_control.h"
#include "draw/draw_state.h"
#include "draw/paste/paste_software.h"
#include "image/image_lock.h"

#include <climits>
#include <random>
#include <string>

namespace paste_test {
namespace {

using tessaly::ImageLock;
using ::testing::ExitedWithCode;

constexpr std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}
constexpr std::uint32_t grey(std::uint32_t a, std::uint32_t v) { return argb(a, v, v, v); }

class PasteSoftware : public HostFixture {
 protected:
  static constexpr int kSource = 1;
  static constexpr int kTarget = 2;

  void TearDown() override {
    tessaly::drawState.blendMode = 1;
    HostFixture::TearDown();
  }

  // Pastes image 1 onto image 2 at (x, y) in the given mode, as the command does.
  void paste(std::uint32_t mode, std::int32_t x, std::int32_t y) {
    tessaly::drawState.blendMode = mode;
    ImageLock source;
    ImageLock target;
    ASSERT_TRUE(source.openImage(kSource));
    ASSERT_TRUE(target.openImage(kTarget));
    tessaly::pasteSoftware(source, target, x, y);
  }

  // The one pixel that pasting `source` onto `target` at (0, 0) writes.
  std::uint32_t pastePixel(std::uint32_t mode, std::uint32_t source, std::uint32_t target) {
    makePlain(kSource, 1, 1, {source});
    makePlain(kTarget, 1, 1, {target});
    paste(mode, 0, 0);
    return pixels(kTarget).at(0);
  }
};

TEST_F(PasteSoftware, WorkedValues) {
  struct Case {
    std::uint32_t mode, source, target, expected;
  };
  const Case cases[] = {
      {4, grey(255, 128), grey(9, 200), grey(9, 100)},
      {12, grey(255, 0), grey(9, 200), grey(9, 254)},
      {14, grey(255, 200), grey(9, 50), grey(9, 148)},
      {14, grey(255, 50), grey(9, 200), grey(9, 150)},
      {16, grey(255, 50), grey(9, 200), grey(9, 149)},
      {7, grey(255, 100), grey(9, 100), grey(9, 86)},
      {11, grey(255, 100), grey(9, 100), grey(9, 86)},
      {1, grey(128, 255), grey(10, 0), grey(138, 127)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pastePixel(c.mode, c.source, c.target), c.expected) << "mode " << c.mode;
  }
}

TEST_F(PasteSoftware, ModesFourToEighteenWithAZeroSourceAlphaLeaveThePixel) {
  for (std::uint32_t mode = 4; mode <= 18; ++mode) {
    EXPECT_EQ(pastePixel(mode, argb(0, 250, 3, 128), argb(77, 10, 200, 128)), argb(77, 10, 200, 128)) << mode;
  }
}

TEST_F(PasteSoftware, CompositeFollowsTheFormulaAtEveryAlpha) {
  // An opaque source over a translucent destination: the new alpha is 255
  // (a + ((da * 0) >> 8)) and the colour is the source's.
  EXPECT_EQ(pastePixel(2, argb(255, 10, 20, 30), argb(100, 200, 100, 50)), argb(255, 10, 20, 30));
  // Over a fully transparent destination: exactly the source colour and alpha.
  EXPECT_EQ(pastePixel(2, argb(77, 10, 20, 30), argb(0, 200, 100, 50)), argb(77, 10, 20, 30));
  // Nothing over nothing: alpha 0, the colour untouched.
  EXPECT_EQ(pastePixel(2, argb(0, 10, 20, 30), argb(0, 200, 100, 50)), argb(0, 200, 100, 50));
  // Over an opaque destination: the alpha-blend colour, alpha kept at 255.
  EXPECT_EQ(pastePixel(2, argb(128, 255, 0, 0), argb(255, 0, 0, 255)), argb(255, 127, 0, 126));
}

// A source of sw x sh placed at (x, y) on a target of tw x th, in every mode,
// against the reference: the overlap is pasted and nothing else changes.
class PasteSoftwareClipping : public PasteSoftware {
 protected:
  void expectMatchesReference(std::uint32_t sw, std::uint32_t sh, std::uint32_t tw, std::uint32_t th,
                              const std::vector<std::uint32_t>& modes, std::mt19937& rng) {
    std::vector<std::uint32_t> source(std::size_t{sw} * sh);
    std::vector<std::uint32_t> target(std::size_t{tw} * th);
    for (auto& p : source) p = static_cast<std::uint32_t>(rng());
    for (auto& p : target) p = static_cast<std::uint32_t>(rng());
    // Opaque and clear alphas too, where modes 1 and 2 branch.
    for (std::size_t i = 0; i < target.size(); i += 3) target[i] |= 0xFF000000u;
    for (std::size_t i = 1; i < source.size(); i += 4) source[i] &= 0x00FFFFFFu;
    makePlain(kSource, sw, sh, source);
    const auto isw = static_cast<std::int32_t>(sw), ish = static_cast<std::int32_t>(sh);
    const auto itw = static_cast<std::int32_t>(tw), ith = static_cast<std::int32_t>(th);
    const std::vector<std::int32_t> xs = {INT_MIN, -isw - 1, -isw, -isw + 1, -1, 0, 1, itw - isw, itw - 1, itw, INT_MAX};
    const std::vector<std::int32_t> ys = {INT_MIN, -ish, -ish + 1, -2, 0, ith - ish, ith - 1, ith, INT_MAX};
    for (std::uint32_t mode : modes) {
      for (std::int32_t x : xs) {
        for (std::int32_t y : ys) {
          makePlain(kTarget, tw, th, target);
          paste(mode, x, y);
          const auto got = pixels(kTarget);
          ASSERT_EQ(got.size(), target.size());
          for (std::uint32_t ty = 0; ty < th; ++ty) {
            for (std::uint32_t tx = 0; tx < tw; ++tx) {
              const std::int64_t sx = std::int64_t{tx} - x, sy = std::int64_t{ty} - y;
              const bool inside = sx >= 0 && sy >= 0 && sx < sw && sy < sh;
              const std::uint32_t before = target[std::size_t{ty} * tw + tx];
              const std::uint32_t want =
                  inside ? referencePastePixel(mode, source[static_cast<std::size_t>(sy * sw + sx)], before) : before;
              ASSERT_EQ(got[std::size_t{ty} * tw + tx], want)
                  << "mode " << mode << ", " << sw << "x" << sh << " at (" << x << ", " << y << ") onto " << tw << "x"
                  << th << ", target pixel (" << tx << ", " << ty << ")";
            }
          }
        }
      }
    }
  }
};

std::vector<std::uint32_t> everyMode() {
  std::vector<std::uint32_t> modes;
  for (std::uint32_t m = 0; m <= 21; ++m) modes.push_back(m);
  modes.push_back(0xFFFFFFFFu);
  return modes;
}

TEST_F(PasteSoftwareClipping, SmallerSourceOnEverySideInEveryMode) {
  std::mt19937 rng(12);
  expectMatchesReference(13, 5, 21, 11, everyMode(), rng);
}

TEST_F(PasteSoftwareClipping, DegenerateAndLargerSources) {
  std::mt19937 rng(13);
  const std::vector<std::uint32_t> modes = {1, 2, 3, 5, 11, 16};
  expectMatchesReference(1, 1, 9, 7, modes, rng);
  expectMatchesReference(1, 9, 9, 7, modes, rng);
  expectMatchesReference(37, 1, 9, 7, modes, rng);
  expectMatchesReference(45, 19, 33, 10, modes, rng);  // cut on every side at once
  expectMatchesReference(8, 8, 1, 1, modes, rng);
}

TEST_F(PasteSoftware, SourceAboveAndLeftStartsInsideTheSource) {
  std::vector<std::uint32_t> source(20 * 10);
  for (std::uint32_t i = 0; i < source.size(); ++i) source[i] = 0xFF000000u | i;
  makePlain(kSource, 20, 10, source);
  makePlain(kTarget, 30, 30, {0});
  paste(3, -10, -5);
  const auto got = pixels(kTarget);
  EXPECT_EQ(got[0], source[5 * 20 + 10]);
  EXPECT_EQ(got[4 * 30 + 9], source[9 * 20 + 19]);
  EXPECT_EQ(got[10], 0u);
  EXPECT_EQ(got[5 * 30], 0u);
}

class PasteSoftwareCalls : public PasteSoftware {
 protected:
  std::vector<std::string> callsOfPaste(std::uint32_t mode, std::int32_t x, std::int32_t y) {
    tessaly::drawState.blendMode = mode;
    ImageLock source;
    ImageLock target;
    EXPECT_TRUE(source.openImage(kSource));
    EXPECT_TRUE(target.openImage(kTarget));
    swd3d::setCallLog(true);
    tessaly::pasteSoftware(source, target, x, y);
    auto calls = swd3d::takeCallLog();
    swd3d::setCallLog(false);
    return calls;
  }
};

TEST_F(PasteSoftwareCalls, LocksOnlyTheOverlapTargetFirstAndUnlocksSourceFirst) {
  makePlain(kSource, 10, 6, {0xFF102030});  // tex1
  makePlain(kTarget, 8, 8, {0});            // tex2
  const std::vector<std::string> expected = {"LockRect(tex2.level0, {3,0,8,4}, 0)", "LockRect(tex1.level0, {0,2,5,6}, 0)",
                                             "UnlockRect(tex1.level0)", "UnlockRect(tex2.level0)"};
  // A mode that writes nothing still locks and unlocks both, and changes nothing.
  EXPECT_EQ(callsOfPaste(21, 3, -2), expected);
  EXPECT_EQ(pixels(kTarget), std::vector<std::uint32_t>(64, 0));
  EXPECT_EQ(callsOfPaste(3, 3, -2), expected);
  EXPECT_EQ(pixels(kTarget)[0 * 8 + 3], 0xFF102030u);
}

TEST_F(PasteSoftwareCalls, NoOverlapLocksNothing) {
  makePlain(kSource, 10, 6, {0xFF102030});
  makePlain(kTarget, 8, 8, {0});
  const std::pair<std::int32_t, std::int32_t> outside[] = {{-10, 0}, {0, -6}, {8, 0}, {0, 8}, {INT_MIN, INT_MIN},
                                                           {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN + 5, 3}};
  for (auto [x, y] : outside) {
    EXPECT_EQ(callsOfPaste(1, x, y), std::vector<std::string>{}) << x << ", " << y;
  }
  EXPECT_EQ(pixels(kTarget), std::vector<std::uint32_t>(64, 0));
}

class PasteSoftwareDeathTest : public PasteSoftware {};

TEST_F(PasteSoftwareDeathTest, AFailedLockEndsTheProcess) {
  makePlain(kSource, 4, 4, {0});
  makePlain(kTarget, 4, 4, {0});
  // The target is locked first.
  EXPECT_EXIT(
      {
        swd3d::failNext(swd3d::Call::LockRect);
        paste(1, 0, 0);
      },
      ExitedWithCode(1), fatalOutput("Could not lock image.", "Error"));
  // A source that cannot be locked (it is locked already).
  EXPECT_EXIT(
      {
        ImageLock held;
        held.openImage(kSource);
        held.lock(nullptr);
        paste(1, 0, 0);
      },
      ExitedWithCode(1), fatalOutput("Could not lock image.", "Error"));
}

}  // namespace
}  // namespace paste_test
