#include "png_io.h"
#include "png_writer.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace standin;
using namespace pngtest;

namespace {

class PngIoTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return (folder / name).string(); }

  const ScratchFolder scratch;
  const std::filesystem::path& folder = scratch.path();
};

PngPicture greyPicture(std::uint32_t width, std::uint32_t height, int bitDepth,
                 std::vector<std::uint16_t> samples) {
  return pngPicture(width, height, PNG_COLOR_TYPE_GRAY, bitDepth, std::move(samples));
}

}  // namespace

TEST_F(PngIoTest, SavedWordsLoadBackExactlyWhateverTheirAlpha) {
  std::mt19937 random(7);
  ImagePixels pixels{13, 5, {}};
  for (int i = 0; i < 13 * 5; ++i) pixels.words.push_back(static_cast<std::uint32_t>(random()));
  pixels.words[0] = 0x00FFFFFF;  // colour under zero alpha survives: alpha is straight
  pixels.words[1] = 0x01020304;
  ASSERT_EQ(savePng(path("round.png"), pixels), "");
  const PngLoad load = loadPng(path("round.png"));
  ASSERT_TRUE(load.pixels) << load.error;
  EXPECT_EQ(load.pixels->width, 13u);
  EXPECT_EQ(load.pixels->height, 5u);
  EXPECT_EQ(load.pixels->words, pixels.words);
}

TEST_F(PngIoTest, SixteenBitSamplesRoundToTheNearestByte) {
  std::vector<std::uint16_t> samples(65536);
  for (std::uint32_t v = 0; v < samples.size(); ++v) samples[v] = static_cast<std::uint16_t>(v);
  ASSERT_TRUE(writePng(path("grey16.png"), greyPicture(256, 256, 16, samples)));
  const PngLoad load = loadPng(path("grey16.png"));
  ASSERT_TRUE(load.pixels) << load.error;
  for (std::uint32_t v = 0; v < 65536; ++v) {
    const std::uint32_t nearest = (v * 255 + 32767) / 65535;
    ASSERT_EQ(load.pixels->words[v], 0xFF000000u | nearest * 0x010101u) << "sample " << v;
  }
}

TEST_F(PngIoTest, LowBitGreyScalesToTheFullByteRange) {
  ASSERT_TRUE(writePng(path("grey2.png"), greyPicture(4, 1, 2, {0, 1, 2, 3})));
  const PngLoad load = loadPng(path("grey2.png"));
  ASSERT_TRUE(load.pixels) << load.error;
  EXPECT_EQ(load.pixels->words,
            (std::vector<std::uint32_t>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));
}

TEST_F(PngIoTest, InterlacedAndPlainFilesOfTheSamePixelsLoadAlike) {
  PngPicture picture;
  picture.width = 11;
  picture.height = 7;
  picture.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (std::uint16_t i = 0; i < 11 * 7 * 4; ++i) picture.samples.push_back(static_cast<std::uint16_t>(i * 29 % 256));
  ASSERT_TRUE(writePng(path("plain.png"), picture));
  picture.interlaced = true;
  ASSERT_TRUE(writePng(path("interlaced.png"), picture));
  const PngLoad plain = loadPng(path("plain.png"));
  const PngLoad interlaced = loadPng(path("interlaced.png"));
  ASSERT_TRUE(plain.pixels && interlaced.pixels);
  EXPECT_EQ(plain.pixels->words, interlaced.pixels->words);
  EXPECT_EQ(plain.pixels->words[1], 0xCB7491AEu);  // samples 4 to 7: 29 i mod 256
}

// Every file cut short is refused, wherever the cut falls, and nothing
// crashes or reads past the data (the sanitizer build runs this too).
TEST_F(PngIoTest, EveryTruncationIsRefused) {
  PngPicture picture = greyPicture(6, 6, 8, {});
  for (std::uint16_t i = 0; i < 36; ++i) picture.samples.push_back(static_cast<std::uint16_t>(i * 7));
  ASSERT_TRUE(writePng(path("whole.png"), picture));
  const std::vector<std::uint8_t> whole = readBytes(path("whole.png"));
  for (std::size_t length = 0; length < whole.size(); ++length) {
    writeBytes(path("cut.png"), std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
    const PngLoad load = loadPng(path("cut.png"));
    EXPECT_FALSE(load.pixels) << "cut at " << length;
    EXPECT_FALSE(load.error.empty());
  }
}

TEST_F(PngIoTest, ACorruptedByteIsRefusedOrHarmless) {
  PngPicture picture = greyPicture(5, 5, 8, {});
  for (std::uint16_t i = 0; i < 25; ++i) picture.samples.push_back(static_cast<std::uint16_t>(i * 11));
  ASSERT_TRUE(writePng(path("whole.png"), picture));
  const std::vector<std::uint8_t> whole = readBytes(path("whole.png"));
  int refused = 0;
  for (std::size_t at = 8; at < whole.size(); ++at) {
    std::vector<std::uint8_t> damaged = whole;
    damaged[at] ^= 0x5A;
    writeBytes(path("damaged.png"), damaged);
    const PngLoad load = loadPng(path("damaged.png"));
    if (!load.pixels) {
      ++refused;
    } else {
      EXPECT_EQ(load.pixels->words.size(), std::size_t{load.pixels->width} * load.pixels->height);
    }
  }
  // Every chunk is under a CRC, so a changed byte is all but always caught.
  EXPECT_GE(refused, static_cast<int>(whole.size() - 8) - 2);
}

TEST_F(PngIoTest, ImagesBeyondTheLimitAreRefusedFromTheHeader) {
  for (const auto& [width, height] : {std::pair<std::uint32_t, std::uint32_t>{16385, 1},
                                      {1, 16385},
                                      {0x7FFFFFFF, 0x7FFFFFFF}}) {
    std::vector<std::uint8_t> file = pngSignature();
    appendChunk(file, "IHDR", headerData(width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA));
    appendChunk(file, "IEND", {});
    writeBytes(path("large.png"), file);
    const PngLoad load = loadPng(path("large.png"));
    EXPECT_FALSE(load.pixels);
    EXPECT_EQ(load.error, "the image is " + std::to_string(width) + " x " + std::to_string(height) +
                              " pixels; the limit is 16384 x 16384");
  }
}

TEST_F(PngIoTest, WhatIsNotAPngSaysSo) {
  writeBytes(path("text.png"), {'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd'});
  EXPECT_EQ(loadPng(path("text.png")).error, "not a PNG file");
  EXPECT_EQ(loadPng(path("missing.png")).error, "No such file or directory");
}

TEST_F(PngIoTest, AFailedSaveLeavesNoFileBehind) {
  const ImagePixels pixels{1, 1, {0xFF000000}};
  EXPECT_NE(savePng(path("no-folder/out.png"), pixels), "");
  EXPECT_FALSE(std::filesystem::exists(path("no-folder/out.png")));
  EXPECT_NE(savePng(path("empty.png"), ImagePixels{}), "");
  EXPECT_FALSE(std::filesystem::exists(path("empty.png")));
}

// A save that fails half way (here: the file-size limit) leaves the picture
// it was replacing exactly as it was, and no file of its own.
TEST_F(PngIoTest, AFailedSaveKeepsThePictureItWouldReplace) {
  ImagePixels old{3, 2, {1, 2, 3, 4, 5, 6}};
  ASSERT_EQ(savePng(path("kept.png"), old), "");
  const std::vector<std::uint8_t> before = readBytes(path("kept.png"));
  ImagePixels large{512, 512, {}};
  std::mt19937 random(3);
  for (int i = 0; i < 512 * 512; ++i) large.words.push_back(static_cast<std::uint32_t>(random()));
  // In a child process: files of at most 4 KiB, writes beyond failing.
  const auto saveUnderLimit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::_Exit(savePng(path("kept.png"), large).empty() ? 2 : 0);
  };
  EXPECT_EXIT(saveUnderLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(readBytes(path("kept.png")), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

// What is not a regular file is never written to, replaced or removed.
TEST_F(PngIoTest, TargetsThatAreNotRegularFilesAreRefused) {
  const ImagePixels pixels{1, 1, {0xFF000000}};
  ASSERT_EQ(::mkfifo(path("pipe.png").c_str(), 0600), 0);
  std::filesystem::create_directory(path("folder.png"));
  std::filesystem::create_symlink(path("elsewhere.png"), path("link.png"));
  for (const char* name : {"pipe.png", "folder.png", "link.png"}) {
    EXPECT_EQ(savePng(path(name), pixels), "it is not a regular file") << name;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(path(name)))) << name;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(path("pipe.png")));
  EXPECT_FALSE(std::filesystem::exists(path("elsewhere.png")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 3);
}

TEST_F(PngIoTest, ASaveReplacesThePictureAndLeavesNothingElse) {
  ASSERT_EQ(savePng(path("out.png"), ImagePixels{1, 1, {0xFF000000}}), "");
  ASSERT_EQ(savePng(path("out.png"), ImagePixels{2, 1, {0xFF0000FF, 0x80FFFFFF}}), "");
  const PngLoad load = loadPng(path("out.png"));
  ASSERT_TRUE(load.pixels) << load.error;
  EXPECT_EQ(load.pixels->words, (std::vector<std::uint32_t>{0xFF0000FF, 0x80FFFFFF}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

// Chunks the pixels do not come from are skipped unread: one whose header
// claims 2 GB reserves nothing, and the file is refused for ending early.
TEST_F(PngIoTest, AChunkThatClaimsGigabytesReservesNothing) {
  for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP"}) {
    std::vector<std::uint8_t> file = pngSignature();
    appendChunk(file, "IHDR", headerData(1, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA));
    const std::uint8_t length[] = {0x7F, 0xFF, 0xFF, 0xF0};  // 2^31 - 16
    file.insert(file.end(), length, length + 4);
    file.insert(file.end(), type, type + 4);
    file.resize(file.size() + 40, 'a');
    writeBytes(path("claims.png"), file);
    const auto loadWithin = [&] {
      rusage before{}, after{};
      ::getrusage(RUSAGE_SELF, &before);
      const PngLoad load = loadPng(path("claims.png"));
      ::getrusage(RUSAGE_SELF, &after);
      const bool small = after.ru_maxrss - before.ru_maxrss < 256 * 1024;  // KiB
      std::_Exit(small && load.error == "damaged PNG: the file ends too early" ? 0 : 1);
    };
    EXPECT_EXIT(loadWithin(), ::testing::ExitedWithCode(0), "") << type;
  }
}
