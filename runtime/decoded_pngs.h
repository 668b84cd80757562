// The PNGs a script loads, decoded once, when the script is checked, and kept
// for the statements that use them, so that no file is decoded twice. What
// is kept stays within a memory budget; a PNG beyond it is decoded again when
// it is used.
#pragma once

#include "png_io.h"

#include <cstdint>
#include <map>
#include <string>

namespace standin {

class DecodedPngs {
 public:
  explicit DecodedPngs(std::uint64_t budgetBytes = kDefaultBudget) : budget_(budgetBytes) {}

  // Decodes the file for a check and keeps its pixels for `uses` later takes
  // while they fit the budget. Returns why it cannot be loaded, empty if it can.
  std::string check(const std::string& path, int uses);
  // The pixels for one use: the kept ones (handed over at the last use) or a
  // new decode.
  PngLoad take(const std::string& path);

  static constexpr std::uint64_t kDefaultBudget = std::uint64_t{512} << 20;

 private:
  struct Kept {
    ImagePixels pixels;
    int usesLeft = 0;
  };
  std::uint64_t budget_;
  std::uint64_t keptBytes_ = 0;
  std::map<std::string, Kept> kept_;
};

}  // namespace standin
