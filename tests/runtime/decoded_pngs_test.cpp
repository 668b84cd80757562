// A PNG is decoded once, when the script is checked, for as many uses as the
// check counted; the file is not read again for them.
#include "decoded_pngs.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace standin;

namespace {

class DecodedPngsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(savePng(file(), pixels), ""); }
  std::string file() const { return (folder / "in.png").string(); }

  const ScratchFolder scratch;
  const std::filesystem::path& folder = scratch.path();
  const ImagePixels pixels{2, 1, {0xFF102030u, 0x80FFEEDDu}};
};

TEST_F(DecodedPngsTest, TheCheckedUsesNeedNoFurtherRead) {
  DecodedPngs decoded;
  ASSERT_EQ(decoded.check(file(), 2), "");
  std::filesystem::remove(file());  // a second decode would now fail
  for (int use = 0; use < 2; ++use) {
    const PngLoad load = decoded.take(file());
    ASSERT_TRUE(load.pixels) << "use " << use << ": " << load.error;
    EXPECT_EQ(load.pixels->words, pixels.words);
  }
  EXPECT_FALSE(decoded.take(file()).pixels) << "a use beyond the counted ones reads the file";
}

TEST_F(DecodedPngsTest, BeyondTheBudgetAUseDecodesAgain) {
  DecodedPngs decoded(4);  // less than one picture
  ASSERT_EQ(decoded.check(file(), 1), "");
  ImagePixels changed = pixels;
  changed.words[0] = 0xFF000000u;
  ASSERT_EQ(savePng(file(), changed), "");
  const PngLoad load = decoded.take(file());
  ASSERT_TRUE(load.pixels) << load.error;
  EXPECT_EQ(load.pixels->words, changed.words);
}

TEST_F(DecodedPngsTest, TheCheckSaysWhyAFileCannotBeLoaded) {
  DecodedPngs decoded;
  EXPECT_EQ(decoded.check((folder / "missing.png").string(), 1), "No such file or directory");
}

}  // namespace
