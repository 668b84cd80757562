// A PNG is decoded once, when the script is checked, for as many uses as the
// check counted; the file is not read again for them.
#include "decoded_pngs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

using namespace standin;

namespace {

class DecodedPngsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("decoded_pngs_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ASSERT_EQ(savePng(file(), pixels), "");
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string file() const { return (folder / "in.png").string(); }

  std::filesystem::path folder;
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
